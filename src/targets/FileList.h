// The file list window: shows the target list, owns it and the collection that fills it.
#pragma once
#include "Base.h"
#include "targets/Collection.h"
#include "targets/TargetList.h"
#include "shell/PlacedFileDialog.h"
#include "shell/DropDst.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/StdControls.h"
#include "widgets/CommonButton.h"
#include "widgets/HListBox.h"
#include <string>
#include <vector>

namespace targets {

// The commands of the list that work on the whole of it and outlive the window's part in them: the
// application object carries them out, with its settings and prompts.
class IListCommands {
 public:
  virtual ~IListCommands() = default;
  // Asks for a file, writes the list into it and says so.
  virtual void SaveList() = 0;
  // Puts the list on the clipboard.
  virtual void CopyList() = 0;
};

// A second top-level window beside the main window. It is created hidden at start-up, shown by the
// main window's list command, hidden (never destroyed) by its close box, and lives until the program
// ends. It holds the target list: FTargetList keeps the paths, in order and without duplicates, and
// HListBoxFileList shows them, one item at the same index for each entry. The list's items hold only
// their selection and are drawn from FTargetList, so that a list of a million paths holds them once.
class TFormFileList : public ui::Form, private ICollectionView {
 public:
  // The host is the main window, which must outlive this one. owner, if given, keeps this window
  // above it.
  explicit TFormFileList(ICollectionHost& host, HWND owner = nullptr);
  ~TFormFileList() override;

  // ---- controls, top to bottom ----
  ui::Panel PanelHead;
  ui::Label LabelListNum;
  widgets::TCommonButton SpeedButtonSave, SpeedButtonCBCopy, SpeedButtonClear;
  widgets::THListBox HListBoxFileList;
  // The list's context menu; its entries share one enabled state with the three buttons.
  ui::PopupMenu PopupMenu;
  ui::MenuItem *SaveList = nullptr, *N1 = nullptr, *ClipBoardCopy = nullptr, *DeleteList = nullptr,
               *AllSelectFile = nullptr;
  shell::TSaveDialogEx SaveDialogEx;

  // Who carries out save and copy; set at start-up. Without it both do nothing.
  void SetCommands(IListCommands* commands) { FCommands = commands; }
  // The save dialog, below this window's caption, opening in initialDir (empty: where the system
  // chooses); false when the user cancels it.
  bool AskSaveFileName(const std::wstring& initialDir, std::wstring& file);

  // ---- commands ----
  // A context-menu request at a screen point: the item under it joins the selection. A request from
  // the keyboard (no point) selects nothing.
  void HListBoxFileListContextPopup(POINT screen, bool fromKeyboard);
  void DeleteListClick(ui::Control* sender);
  void AllSelectFileClick(ui::Control* sender);
  void SpeedButtonClearClick(ui::Control* sender);
  void SpeedButtonCBCopyClick(ui::Control* sender);
  void SpeedButtonSaveClick(ui::Control* sender);
  void SaveDialogExSetLeftTop(shell::TFileDialogEx* sender, int& left, int& top, int width, int height);
  // Files and folders dropped on the list are added (the window as a whole is disabled during a
  // collection, which refuses drops meanwhile).
  shell::TDropDst DropDst;

  // The one way targets are added (drops, selections, the command line).
  void AddPaths(const std::vector<std::wstring>& paths) { FCollection.AddPaths(paths); }
  // Takes the program's arguments as they stand (ProgramArguments), expands them with
  // CommandLinePaths and hands them to one AddPaths; nothing when there are none. Call once at
  // start-up, after the main window can answer as the host (its settings loaded, its
  // SetControlsEnabled able to reach this window).
  void TakeCommandLine(const std::vector<std::wstring>& arguments);

  // "現在の選択ファイル数: " and the number of entries.
  void UpdateCount() override;

  // The target list as a change run, the copy and the save read it.
  int EntryCount() const { return FTargetList.Count(); }
  // Entry index; empty when the list holds no such entry (it shrank under the reader).
  std::wstring Entry(int index) const {
    return index >= 0 && index < FTargetList.Count() ? std::wstring(FTargetList.Entry(index)) : std::wstring();
  }
  const TTargetList& TargetList() const { return FTargetList; }
  TTargetCollection& Collection() { return FCollection; }

  // The count label, the list and the commands, switched together by the main window's lock of a
  // collection and by the idle state of a change run. (The main window disables the window as a
  // whole during a collection through SetEnabled.)
  void SetListControlsEnabled(bool enabled);
  // The commands that work on the whole list (save, copy, clear and their menu entries); disabled at
  // creation, enabled at the end of a collection that leaves the list non-empty.
  void SetCommandsEnabled(bool enabled);
  bool CommandsEnabled() const { return FCommandsEnabled; }

  // Places the window at the right edge of the main window, with the main window's size (start-up).
  void PlaceBeside(const RECT& mainWindowBounds);
  // Moves the window to the main window's top and right edge, keeping the size the user gave it
  // (the list command). Both keep the window on the screen, at the main window's left where its right
  // has no room, over it only where neither side has (ui::BesideOnScreen).
  void MoveBeside(const RECT& mainWindowBounds);
  // The least client size: the head's buttons clear of each other and the list's scroll bars whole.
  SIZE LeastClientSize() const;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void DoClose(ui::CloseAction& action) override;
  // The menu's shortcuts act while the list has the focus.
  void DoKeyDown(WORD& key, unsigned shift) override;

 private:
  void FormActivate(ui::Control* sender);
  void DropDstFileDrop(shell::TDropDst* sender, const std::vector<std::wstring>& files, int x, int y);
  void FormResize(ui::Control* sender);
  void DoDpiChanged() override;

  // ICollectionView
  void ActivateForCollection() override;
  void BeginAdding(int expected) override;
  void EndAdding() override;
  bool InsertItem(int index, std::wstring_view path) override;
  void EnableCommands() override;
  bool ViewShowing() const override { return Showing(); }

  TTargetList FTargetList;
  TTargetCollection FCollection;
  bool FCommandsEnabled = false;
  IListCommands* FCommands = nullptr;
  int FCopyRightGap = 0, FClearRightGap = 0;  // at 96 DPI: those buttons to the head's right edge
  int FLeastClientWidth = 0;                  // at 96 DPI: the width the head was laid out for
};

}  // namespace targets
