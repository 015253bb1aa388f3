// The main window's commands that name targets: selection menu, folder browser, file dialog, drops on the picture.
#pragma once
#include "Base.h"
#include "app/Program.h"
#include "shell/DropDst.h"
#include "shell/FolderBrowser.h"
#include "shell/PlacedFileDialog.h"
#include "ui/Menu.h"
#include "comm/Scoped.h"
#include <functional>
#include <string>
#include <vector>

namespace app {

class TVNStampShifter;

// Made at start-up once the main window and the target list exist; it attaches itself to the main
// window's application object as its selection view (the button, Ctrl+O, Ctrl+D, Ctrl+F, the drop
// acceptance switch) and detaches when it goes. Every command that yields paths hands them to addPaths as one list. The
// folder of the last selection is kept in the setting "FolderPath", where both dialogs open next time.
class TSelectCommands : private ISelectView {
 public:
  using TAddPaths = std::function<void(const std::vector<std::wstring>& paths)>;
  TSelectCommands(TVNStampShifter& main, TAddPaths addPaths);
  ~TSelectCommands() override;
  TSelectCommands(const TSelectCommands&) = delete;
  TSelectCommands& operator=(const TSelectCommands&) = delete;

  // "フォルダ選択(&D)..." (Ctrl+D), "ファイル選択(&F)..." (Ctrl+F), "キャンセル(&C)", each with its glyph.
  ui::PopupMenu PopupMenuSelect;
  ui::MenuItem* D1 = nullptr;
  ui::MenuItem* F1 = nullptr;
  ui::MenuItem* C1 = nullptr;
  shell::TSHBrowseForFolderEx SHBrowseForFolderExSelect;
  shell::TOpenDialogEx OpenDialogExSelect;
  // The picture's drop target; the main window switches it off during collections and runs.
  shell::TDropDst DropDst;

  // Drops the menu down directly below SpeedButtonSelect.
  void SpeedButtonSelectClick(ui::Control* sender);
  // Folder selection: the browser opens at the remembered folder when it still is one, else at the
  // drives level.
  void D1Click(ui::Control* sender);
  // File selection: the dialog opens in the remembered folder when it still is one, else in the
  // system's default; every chosen file reaches the target list in one call.
  void F1Click(ui::Control* sender);
  // The open dialog's place: at the main window's left edge, just below its caption.
  void OpenDialogExSelectSetLeftTop(shell::TFileDialogEx* sender, int& left, int& top, int width, int height);
  // The dropped names, as they come; the point is not used.
  void DropDstFileDrop(shell::TDropDst* sender, const std::vector<std::wstring>& files, int x, int y);

 private:
  // ISelectView
  void SelectMenu() override { SpeedButtonSelectClick(nullptr); }
  void SelectFolder() override { D1Click(nullptr); }
  void SelectFiles() override { F1Click(nullptr); }
  void SetDropAcceptance(bool accept) override { DropDst.SetAcceptDrop(accept); }

  // Selections would change the target list under a run that walks it.
  bool Refused() const;

  TVNStampShifter& FMain;
  TAddPaths FAddPaths;
};

}  // namespace app
