// The main window's selection commands as a user meets them: the menu, the folder browser and the file
// dialog opened where "FolderPath" says, drops on the picture, and the keys refused during a run.
#include "app/Main.h"
#include "app/SelectCommands.h"
#include "support/BrowseDialog.h"
#include "support/Capture.h"
#include "support/DialogAnswerer.h"
#include "support/Drop.h"
#include "support/Keys.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include <dlgs.h>
#include <gtest/gtest.h>
#include <memory>

using testsupport::LoopSteps;
using testsupport::PressKey;
using Paths = std::vector<std::wstring>;

namespace {

class SelectCommands : public ::testing::Test {
 protected:
  SelectCommands() {
    main->CheckBoxAutoExit.SetChecked(false);
    main->Show();
  }
  std::wstring FolderPath() { return main->RegManager.Filer(L"FolderPath").ReadString(); }
  void SetFolderPath(const std::wstring& path) { main->RegManager.Filer(L"FolderPath").WriteString(path); }
  static bool Accepts(HWND h) { return (GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

  // Presses the key with Ctrl; once the folder browser is up, reads it and presses the button.
  testsupport::BrowseDialogView BrowseWithKey(int button) {
    testsupport::BrowseDialogView seen;
    bool looked = false;
    LoopSteps steps({[&]() {
      HWND dlg = commands.SHBrowseForFolderExSelect.DialogWnd();
      if (!dlg || !IsWindowVisible(dlg)) return false;
      seen = testsupport::ReadBrowseDialog(dlg);
      looked = true;
      PostMessageW(dlg, WM_COMMAND, button, 0);
      return true;
    }});
    PressKey(main->Handle(), 'D', ui::ssCtrl);
    EXPECT_TRUE(looked) << "the folder browser never showed";
    return seen;
  }

  testsupport::TempTree tree;
  std::unique_ptr<app::TVNStampShifter> main = std::make_unique<app::TVNStampShifter>(tree.Path(L"vss.ini"));
  std::vector<Paths> calls;
  app::TSelectCommands commands{*main, [this](const Paths& paths) { calls.push_back(paths); }};
};

}  // namespace

TEST_F(SelectCommands, MenuDropsBelowItsButtonWithItsEntriesAndGlyphsOnTheMenusOwnColours) {
  testsupport::DialogAnswerer noDialogs;  // choosing cancel must open nothing
  std::vector<std::wstring> texts;
  std::vector<int> glyphPixels, keyPixels;
  RECT menuRect{};
  LoopSteps steps({[&]() {
    HMENU menu = ui::PopupMenu::OpenMenu();
    HWND window = FindWindowW(L"#32768", nullptr);
    if (!menu || !window || !IsWindowVisible(window)) return false;
    GetWindowRect(window, &menuRect);
    testsupport::WindowPicture picture(window);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = L"";
      GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
      texts.push_back(text);
      RECT item{};
      GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &item);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&item), 2);
      RECT glyph{item.left, item.top, item.left + GetSystemMetrics(SM_CXMENUCHECK) + 4 + 16, item.bottom};
      const int area = (glyph.right - glyph.left) * (glyph.bottom - glyph.top);
      glyphPixels.push_back(area - picture.Count(glyph, GetSysColor(COLOR_MENU)));
      keyPixels.push_back(picture.Count(glyph, RGB(255, 0, 255)));
    }
    PostMessageW(main->Handle(), WM_CHAR, L'c', 0);  // キャンセル(&C)
    return true;
  }});
  PressKey(main->Handle(), 'O', ui::ssCtrl);
  ASSERT_TRUE(steps.Done()) << "the menu never showed";
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"フォルダ選択(&D)...\tCtrl+D", L"ファイル選択(&F)...\tCtrl+F",
                                              L"キャンセル(&C)"}));
  for (size_t i = 0; i < glyphPixels.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_GE(glyphPixels[i], 30) << "no glyph";
    EXPECT_EQ(keyPixels[i], 0) << "the key colour shows";
  }
  POINT below{main->SpeedButtonSelect.Left(), main->SpeedButtonSelect.Top() + main->SpeedButtonSelect.Height()};
  ClientToScreen(main->GroupBoxType.Handle(), &below);
  EXPECT_EQ(menuRect.left, below.x);
  EXPECT_EQ(menuRect.top, below.y);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(FolderPath(), L"");
}

TEST_F(SelectCommands, FolderBrowserOpensAtTheRememberedFolderElseAtTheDrivesLevel) {
  const std::wstring folder = tree.MakeDir(L"写真");
  testsupport::SettleFolder(folder);
  SetFolderPath(folder);
  testsupport::BrowseDialogView seen = BrowseWithKey(IDOK);
  EXPECT_EQ(seen.selected, L"写真");
  EXPECT_TRUE(seen.Shows(L"フォルダを選択してください"));
  POINT origin{0, 0};
  ClientToScreen(main->Handle(), &origin);
  EXPECT_EQ(seen.rect.left, origin.x);
  EXPECT_EQ(seen.rect.top, origin.y);
  EXPECT_EQ(calls, std::vector<Paths>{{folder}});
  EXPECT_EQ(FolderPath(), folder);

  const std::wstring drives = testsupport::SpecialFolderDisplayName(CSIDL_DRIVES);
  for (const std::wstring& remembered : {tree.MakeFile(L"a.txt"), tree.Path(L"消えたフォルダ")}) {
    SCOPED_TRACE(testing::PrintToString(remembered));
    SetFolderPath(remembered);
    seen = BrowseWithKey(IDCANCEL);
    EXPECT_EQ(seen.selected, drives);
    EXPECT_FALSE(seen.okEnabled);  // the drives level is no folder of the file system
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(FolderPath(), remembered);
  }
}

TEST_F(SelectCommands, FileDialogOpensInTheRememberedFolderBelowTheCaptionAndEveryChoiceGoesInOneCall) {
  const std::wstring longName = std::wstring(60, L'長') + L".txt";
  for (const std::wstring& n : {std::wstring(L"files\\a.txt"), std::wstring(L"files\\b c.txt"), L"files\\" + longName})
    tree.MakeFile(n);
  const std::wstring folder = tree.Path(L"files");
  for (const std::wstring& remembered : {folder, tree.Path(L"files\\a.txt")}) {
    SCOPED_TRACE(testing::PrintToString(remembered));
    SetFolderPath(remembered);
    const bool choose = remembered == folder;
    std::wstring opened;
    RECT frame{};
    LoopSteps steps({[&]() {
      HWND dlg = commands.OpenDialogExSelect.DialogWnd();
      if (!dlg || !IsWindowVisible(dlg)) return false;
      wchar_t text[MAX_PATH] = L"";
      SendMessageW(dlg, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(text));
      opened = text;
      GetWindowRect(dlg, &frame);
      if (choose) {
        const std::wstring typed = L"\"a.txt\" \"b c.txt\" \"" + longName + L"\"";
        SendMessageW(dlg, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(typed.c_str()));
        SendMessageW(dlg, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(typed.c_str()));
      }
      PostMessageW(dlg, WM_COMMAND, choose ? IDOK : IDCANCEL, 0);
      return true;
    }});
    PressKey(main->Handle(), 'F', ui::ssCtrl);
    ASSERT_TRUE(steps.Done()) << "the file dialog never showed";
    EXPECT_EQ(frame.left, main->Left());
    EXPECT_EQ(frame.top, main->Top() + GetSystemMetrics(SM_CYSIZE) + 1);
    if (choose) {
      EXPECT_EQ(opened, folder);
      EXPECT_EQ(commands.OpenDialogExSelect.Title, L"ファイルを選択してください");
    } else {
      EXPECT_EQ(commands.OpenDialogExSelect.InitialDir, L"");  // a file: the system's default folder
    }
  }
  EXPECT_EQ(calls, (std::vector<Paths>{{tree.Path(L"files\\a.txt"), tree.Path(L"files\\b c.txt"),
                                        tree.Path(L"files\\" + longName)}}));
  EXPECT_EQ(FolderPath(), tree.Path(L"files\\a.txt"));  // the cancel kept it
}

TEST_F(SelectCommands, PictureTakesDropsOnlyWhileNothingRunsOrCollects) {
  const HWND picture = main->PanelVorna.Handle();
  const Paths files{L"C:\\b.txt", L"C:\\a", L"C:\\" + std::wstring(270, L'x')};
  EXPECT_TRUE(testsupport::SendDrop(picture, files, POINT{3, 4}));
  EXPECT_EQ(calls, std::vector<Paths>{files});
  main->SetIdleState(false);
  EXPECT_FALSE(Accepts(picture));
  EXPECT_TRUE(testsupport::SendDrop(picture, files));
  main->SetIdleState(true);
  main->SetControlsEnabled(false);
  EXPECT_FALSE(Accepts(picture));
  main->SetControlsEnabled(true);
  EXPECT_TRUE(Accepts(picture));
  EXPECT_TRUE(testsupport::SendDrop(picture, {L"C:\\c.txt"}));
  EXPECT_EQ(calls.size(), 2u);
}

namespace {
// One target; while the run reads it, the user presses the selection keys.
struct KeyedTargets : engine::IChangeTargets {
  std::wstring path;
  std::function<void()> onRead;
  int Count() const override { return 1; }
  std::wstring Entry(int) const override {
    if (onRead) std::exchange(const_cast<KeyedTargets*>(this)->onRead, nullptr)();
    return path;
  }
};
}  // namespace

TEST_F(SelectCommands, SelectionKeysAreRefusedDuringARunAndWorkAfterIt) {
  KeyedTargets targets;
  targets.path = tree.MakeFile(L"target.txt");
  bool running = false, menuOpened = false;
  targets.onRead = [&]() {
    running = main->Running();
    for (WORD key : {'O', 'D', 'F'}) PressKey(main->Handle(), key, ui::ssCtrl);
  };
  LoopSteps watch({[&]() {
    if (ui::PopupMenu::OpenMenu()) {
      menuOpened = true;
      EndMenu();
    }
    return false;  // watches for the whole test
  }});
  testsupport::DialogAnswerer answers;
  std::vector<std::wstring> captions;  // window classes of the dialogs, in order
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    captions.push_back(d.className);
    return d.className == L"#32770" ? testsupport::Answer{testsupport::AnswerKind::Escape, L""}
                                    : testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
  };
  main->SetTargets(&targets);
  main->ButtonSetClick(&main->ButtonSet);
  EXPECT_TRUE(running);
  EXPECT_FALSE(menuOpened);
  ASSERT_EQ(captions, std::vector<std::wstring>{ui::kMessageDialogClass});  // the summary alone
  PressKey(main->Handle(), 'D', ui::ssCtrl);
  EXPECT_EQ(captions, (std::vector<std::wstring>{ui::kMessageDialogClass, L"#32770"}))
      << "the folder browser did not open once the run was over";
  main->SetTargets(nullptr);
}
