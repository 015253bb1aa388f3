// The main window's selection commands: the menu and its glyphs, the two dialogs, "FolderPath", the picture's drops.
#include "app/SelectCommands.h"
#include "app/Main.h"
#include "resource.h"

namespace app {

TSelectCommands::TSelectCommands(TVNStampShifter& main, TAddPaths addPaths)
    : SHBrowseForFolderExSelect(&main), DropDst(&main), FMain(main), FAddPaths(std::move(addPaths)) {
  D1 = PopupMenuSelect.Add(L"フォルダ選択(&D)...", ui::scCtrl | 'D', [this](ui::Control* s) { D1Click(s); });
  D1->Name = L"D1";
  F1 = PopupMenuSelect.Add(L"ファイル選択(&F)...", ui::scCtrl | 'F', [this](ui::Control* s) { F1Click(s); });
  F1->Name = L"F1";
  C1 = PopupMenuSelect.Add(L"キャンセル(&C)");  // only closes the menu
  C1->Name = L"C1";
  const int glyphIds[3] = {IDB_MENU_FOLDER, IDB_MENU_FILE, IDB_MENU_CANCEL};
  ui::MenuItem* entries[3] = {D1, F1, C1};
  for (int i = 0; i < 3; ++i) entries[i]->GlyphArt = glyphIds[i];

  SHBrowseForFolderExSelect.Caption = L"フォルダを選択してください";

  OpenDialogExSelect.Title = L"ファイルを選択してください";
  OpenDialogExSelect.Filter = L"すべてのファイル(*.*)|*.*";
  // The read-only box checked and hidden; several files; each must exist.
  OpenDialogExSelect.Options =
      OFN_READONLY | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_CREATEPROMPT;
  OpenDialogExSelect.OnSetLeftTop = [this](shell::TFileDialogEx* sender, int& left, int& top, int width,
                                           int height) {
    OpenDialogExSelectSetLeftTop(sender, left, top, width, height);
  };

  DropDst.SetControl(&main.PanelVorna);
  DropDst.OnFileDrop = [this](shell::TDropDst* sender, const std::vector<std::wstring>& files, int x, int y) {
    DropDstFileDrop(sender, files, x, y);
  };

  main.App().AttachSelectView(this);
}

TSelectCommands::~TSelectCommands() { FMain.App().AttachSelectView(nullptr); }

bool TSelectCommands::Refused() const { return FMain.Running(); }

void TSelectCommands::SpeedButtonSelectClick(ui::Control*) {
  if (Refused()) return;
  const auto& button = FMain.SpeedButtonSelect;
  POINT p{button.Left(), button.Top()};
  if (button.Parent()) ClientToScreen(button.Parent()->Handle(), &p);
  PopupMenuSelect.Popup(p.x, p.y + button.Height(), FMain.Handle());
}

void TSelectCommands::D1Click(ui::Control*) {
  if (Refused()) return;
  const std::wstring remembered = FMain.App().RememberedFolderIfPresent();
  if (!remembered.empty()) {
    SHBrowseForFolderExSelect.SelectFolder = shell::sfManual;
    SHBrowseForFolderExSelect.SelectFolderName = remembered;
  } else {
    SHBrowseForFolderExSelect.SelectFolder = shell::sfDrives;
    SHBrowseForFolderExSelect.SelectFolderName.clear();
  }
  if (!SHBrowseForFolderExSelect.Execute()) return;
  const std::wstring chosen = SHBrowseForFolderExSelect.SelectedPath();
  if (chosen.empty()) return;  // an item outside the file system names no target
  // A folder that cannot be kept is shown, and the selection still goes on.
  FMain.App().RememberFolder(chosen);
  FAddPaths({chosen});
}

void TSelectCommands::F1Click(ui::Control*) {
  if (Refused()) return;
  OpenDialogExSelect.InitialDir = FMain.App().RememberedFolderIfPresent();
  OpenDialogExSelect.FileName.clear();
  if (!OpenDialogExSelect.Execute(FMain.Handle())) return;
  const std::vector<std::wstring> files = OpenDialogExSelect.Files();
  if (files.empty()) return;
  FMain.App().RememberFolderOf(files.front());
  FAddPaths(files);
}

void TSelectCommands::OpenDialogExSelectSetLeftTop(shell::TFileDialogEx*, int& left, int& top, int, int) {
  shell::PlaceBelowCaption(FMain.Handle(), left, top);
}

void TSelectCommands::DropDstFileDrop(shell::TDropDst*, const std::vector<std::wstring>& files, int, int) {
  FAddPaths(files);
}

}  // namespace app
