// The help window: contents tree, keyword index, full-text search and the topic, with back and forward.
#pragma once
#include "help/HelpFile.h"
#include "help/HelpIndex.h"
#include "help/HelpRender.h"
#include "comm/Scoped.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/ViewControls.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace help {

// Where the window stood, in screen coordinates of its normal (neither minimised nor maximised)
// state, and how wide its left pane was at 96 DPI (the width it has at any scale).
struct THelpPlacement {
  RECT Bounds{};
  int PaneWidth = 0;
};

// A normal top-level window of its own (with a taskbar button), made once and hidden when closed.
// It stays usable while another window of the program is modal, so that a question can be looked up
// while it waits for its answer.
class THelpViewer : public ui::Form {
 public:
  THelpViewer();
  ~THelpViewer() override;

  // Shows the help file at path at the named topic, or at its contents (the contents tab and the
  // home topic) for an empty name or a name the file does not have, and brings the window to the
  // front. The file is read afresh unless the window is showing it already. A file that cannot be
  // read is reported in a message box, the window stays as it was, and the result is false.
  bool ShowHelp(const std::wstring& path, const std::wstring& topic);

  // The remembered placement: read when the window is first shown, written whenever it closes and
  // when it goes while showing. Without a store the window opens centred at its default size.
  std::function<bool(THelpPlacement& placement)> OnLoadPlacement;
  std::function<void(const THelpPlacement& placement)> OnSavePlacement;

  // ---- controls ----
  ui::Button ButtonBack, ButtonForward;
  ui::TabControl TabControlNavi;
  ui::TabPage PageContents, PageIndex, PageSearch;
  ui::TreeView TreeViewContents;
  ui::Label LabelIndex;
  ui::Edit EditIndex;
  ui::ListBox ListBoxIndex;
  ui::Button ButtonIndexShow;
  ui::Label LabelSearch;
  ui::Edit EditSearch;
  ui::Button ButtonSearchStart;
  ui::Label LabelSearchResult;
  ui::ListBox ListBoxSearch;
  ui::Button ButtonSearchShow;
  ui::RichEdit RichEditTopic;

  enum TTab { tabContents = 0, tabIndex = 1, tabSearch = 2 };
  void SelectTab(int tab);

  // ---- navigation ----
  // Shows a topic and makes it the newest step of the history (forward steps are dropped).
  void ShowTopic(int topic);
  void GoBack();
  void GoForward();
  bool CanGoBack() const { return FHistoryPos > 0; }
  bool CanGoForward() const { return FHistoryPos + 1 < static_cast<int>(FHistory.size()); }
  // Follows the link at a character position of the topic pane; false when none is there.
  bool FollowLinkAt(long position);

  // ---- what the window shows, for its tests ----
  bool Loaded() const { return FFile != nullptr; }
  const THelpFile& File() const { return *FFile; }
  const std::wstring& Path() const { return FPath; }
  int CurrentTopic() const { return FHistoryPos >= 0 ? FHistory[static_cast<size_t>(FHistoryPos)] : -1; }
  const TRenderedTopic& Rendered() const { return FRendered; }
  const std::vector<THelpIndexLine>& IndexLines() const { return FIndexLines; }
  const std::vector<int>& SearchResults() const { return FSearchResults; }
  int PaneWidth() const { return FPaneWidth; }
  void SetPaneWidth(int width);

  // ---- event handlers ----
  void ButtonBackClick(ui::Control* sender);
  void ButtonForwardClick(ui::Control* sender);
  void TabControlNaviChange(ui::Control* sender);
  void TreeViewContentsChange(ui::TreeView* sender, HTREEITEM item);
  void TreeViewContentsExpanded(ui::TreeView* sender, HTREEITEM item, bool expanded);
  void EditIndexChange(ui::Control* sender);
  void ButtonIndexShowClick(ui::Control* sender);
  void ButtonSearchStartClick(ui::Control* sender);
  void ButtonSearchShowClick(ui::Control* sender);
  void RichEditTopicLinkClick(ui::RichEdit* sender, long start, long end);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void DoKeyDown(WORD& key, unsigned shift) override;
  void DoClose(ui::CloseAction& action) override;

 private:
  void BuildControls();
  void Layout();
  // The contents tree's pictures, drawn for the window's DPI.
  void LoadTreeImages();
  void DoDpiChanged() override;
  void LoadFile(std::unique_ptr<THelpFile> file, const std::wstring& path);
  void Navigate(int topic, const std::vector<std::wstring>& marked);
  void FillContents();
  // Shows a topic without touching the history; the words of a search are marked in it.
  void Display(int topic, const std::vector<std::wstring>& marked);
  void SelectTopicInContents(int topic);
  void ShowIndexLine(int line);
  void ShowSearchResult(int result);
  void UpdateButtons();
  void PlaceAtFirstShow();
  void SavePlacement();
  bool InSplitter(int x, int y) const;

  std::unique_ptr<THelpFile> FFile;
  std::wstring FPath;
  TRenderedTopic FRendered;
  std::vector<HTREEITEM> FTreeItems;  // the tree item of each contents entry
  std::vector<THelpIndexLine> FIndexLines;
  std::vector<int> FSearchResults;
  std::vector<std::wstring> FSearchWords;
  std::vector<int> FHistory;
  int FHistoryPos = -1;
  int FPaneWidth = 0;
  bool FPlaced = false;     // the first showing has placed the window
  bool FSyncing = false;    // the program moves the tree's selection: no topic to show for it
  bool FDragging = false;   // the splitter between the panes is being dragged
  int FDragOffset = 0;
  comm::TImageList FTreeImages;
  THelpMarkWidths FMarks;  // measured in the topic's font when the window is made
};

// Window class of the help window, so that tests can find it.
constexpr const wchar_t* kHelpViewerClass = L"THelpViewer";

}  // namespace help
