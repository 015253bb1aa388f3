// The folder browser: its flags and placement rule, and the dialog driven through its window.
#include "shell/FolderBrowser.h"
#include "support/BrowseDialog.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "ui/Form.h"
#include <gtest/gtest.h>

using namespace shell;

TEST(FolderBrowser, OptionsGiveTheirFlagsInBitOrderAndThePathOptionEndsTheScan) {
  bool showPath = true;
  EXPECT_EQ(BrowseFlags(0, showPath), 0u);
  EXPECT_FALSE(showPath);
  const UINT single[] = {BIF_DONTGOBELOWDOMAIN, BIF_RETURNFSANCESTORS, BIF_RETURNONLYFSDIRS, BIF_STATUSTEXT,
                         BIF_STATUSTEXT};
  for (int bit = 0; bit < 5; ++bit) {
    EXPECT_EQ(BrowseFlags(1u << bit, showPath), single[bit]) << bit;
    EXPECT_EQ(showPath, bit == sboStatusTextAndShowPath) << bit;
  }
  EXPECT_EQ(BrowseFlags(0x1F, showPath), UINT{BIF_DONTGOBELOWDOMAIN | BIF_RETURNFSANCESTORS | BIF_RETURNONLYFSDIRS |
                                              BIF_STATUSTEXT});
  EXPECT_TRUE(showPath);

  const int ids[] = {CSIDL_DESKTOP,   CSIDL_DESKTOP,  CSIDL_DRIVES, CSIDL_DESKTOPDIRECTORY,
                     CSIDL_FAVORITES, CSIDL_PROGRAMS, CSIDL_RECENT, CSIDL_SENDTO,
                     CSIDL_STARTMENU, CSIDL_STARTUP,  CSIDL_TEMPLATES};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(SpecialFolderOf(i), ids[i]) << i;
  EXPECT_EQ(SpecialFolderOf(11), CSIDL_DESKTOP);
  EXPECT_EQ(SpecialFolderOf(-1), CSIDL_DESKTOP);
}

TEST(FolderBrowser, CentringOnTheWorkAreaTruncatesAndIgnoresTheWorkAreasOrigin) {
  POINT p = CenterOnWorkAreaPosition(RECT{0, 0, 1024, 738}, RECT{5, 5, 325, 405});
  EXPECT_EQ(p.x, 352);
  EXPECT_EQ(p.y, 112);
  p = CenterOnWorkAreaPosition(RECT{50, 40, 1074, 778}, RECT{0, 0, 321, 401});
  EXPECT_EQ(p.x, 351);  // 703 / 2, from the screen's origin
  EXPECT_EQ(p.y, 112);  // 337 / 3
  p = CenterOnWorkAreaPosition(RECT{0, 0, 100, 100}, RECT{0, 0, 103, 104});
  EXPECT_EQ(p.x, -1);  // toward zero, not down
  EXPECT_EQ(p.y, -1);
}

namespace {

class TOwner : public ui::Form {
 public:
  TOwner() {
    CreateForm(L"持ち主", WS_CAPTION | WS_SYSMENU, 0, 300, 200);
    SetBounds(200, 150, Width(), Height());
    Show();
  }
};

// Runs the browser; once its window is up, looks at it and presses the button.
bool Browse(TSHBrowseForFolderEx& browser, testsupport::BrowseDialogView& seen, int button) {
  bool looked = false;
  testsupport::LoopSteps steps({[&]() {
    HWND dlg = browser.DialogWnd();
    if (!dlg || !IsWindowVisible(dlg)) return false;
    seen = testsupport::ReadBrowseDialog(dlg);
    looked = true;
    PostMessageW(dlg, WM_COMMAND, button, 0);
    return true;
  }});
  const bool ok = browser.Execute();
  EXPECT_TRUE(looked) << "the dialog never showed";
  EXPECT_EQ(browser.DialogWnd(), nullptr);
  return ok;
}

}  // namespace

TEST(FolderBrowser, OpensAtTheNamedFolderAndReturnsIt) {
  testsupport::TempTree tree;
  const std::wstring folder = tree.MakeDir(L"選んだフォルダ");
  testsupport::SettleFolder(folder);
  TOwner owner;
  TSHBrowseForFolderEx browser(&owner);
  browser.SelectFolder = sfManual;
  browser.SelectFolderName = folder;
  browser.Options = BrowseOption(sboReturnOnlyFSDirs) | BrowseOption(sboStatusTextAndShowPath);
  std::vector<std::wstring> changes;
  browser.OnSelectionChanged = [&](TSHBrowseForFolderEx* sender, HWND, const std::wstring& path,
                                   std::wstring& showText, TOKButtonState&) {
    EXPECT_EQ(sender, &browser);
    changes.push_back(path);
    showText = L"この文は表示されない";
  };
  testsupport::BrowseDialogView seen;
  ASSERT_TRUE(Browse(browser, seen, IDOK));
  EXPECT_EQ(seen.selected, L"選んだフォルダ");
  EXPECT_TRUE(seen.Shows(folder));  // the status line shows the path, whatever the event set
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), folder);
  EXPECT_EQ(browser.SelectedPath(), folder);
  // The name as the dialog reports it (under Wine the whole path).
  EXPECT_EQ(browser.DisplayName().substr(browser.DisplayName().size() - 7), L"選んだフォルダ");
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));

  // Cancel empties both results.
  EXPECT_FALSE(Browse(browser, seen, IDCANCEL));
  EXPECT_EQ(browser.SelectedPath(), L"");
  EXPECT_EQ(browser.DisplayName(), L"");
}

namespace {

// What the component tells the dialog: the first selection (as a path or "desktop") and the OK
// button states, in order. The dialog itself may judge the OK button again after each selection.
struct Told {
  std::vector<std::wstring> selections;
  std::vector<LPARAM> okStates;
};
Told* g_told = nullptr;
LRESULT CALLBACK RecordTold(int code, WPARAM wp, LPARAM lp) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && g_told) {
    if (m->message == BFFM_SETSELECTIONW && !m->wParam) {
      const auto* pidl = reinterpret_cast<LPCITEMIDLIST>(m->lParam);
      g_told->selections.push_back(pidl->mkid.cb == 0 ? L"desktop" : L"other");
    } else if (m->message == BFFM_ENABLEOK) {
      g_told->okStates.push_back(m->lParam);
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

TEST(FolderBrowser, NameOfAFileFallsBackToTheDesktopAndTheEventSetsStatusAndOk) {
  testsupport::TempTree tree;
  TOwner owner;
  TSHBrowseForFolderEx browser(&owner);
  browser.ShowStyle = ssNone;
  browser.Options = BrowseOption(sboStatusText);
  int changes = 0;
  browser.OnSelectionChanged = [&](TSHBrowseForFolderEx*, HWND, const std::wstring&, std::wstring& showText,
                                   TOKButtonState& ok) {
    showText = L"選択中";
    ok = ++changes == 1 ? obsDisable : obsEnable;
  };
  Told told;
  g_told = &told;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, RecordTold, nullptr, GetCurrentThreadId());
  testsupport::BrowseDialogView seen;
  const std::wstring file = tree.MakeFile(L"a.txt"), folder = tree.MakeDir(L"有る");
  testsupport::SettleFolder(folder);
  for (const std::wstring& name : {file, tree.Path(L"無い"), folder}) {
    browser.SelectFolder = sfManual;
    browser.SelectFolderName = name;
    EXPECT_FALSE(Browse(browser, seen, IDCANCEL));
  }
  EXPECT_EQ(seen.selected, L"有る");
  UnhookWindowsHookEx(hook);
  g_told = nullptr;
  EXPECT_EQ(told.selections, (std::vector<std::wstring>{L"desktop", L"desktop", L"other"}));
  EXPECT_TRUE(seen.Shows(L"選択中"));  // only the event's text: the path option is off
  ASSERT_GE(told.okStates.size(), 2u);
  EXPECT_EQ(told.okStates[0], 0);  // the event's answer reaches the button
  EXPECT_NE(std::count(told.okStates.begin(), told.okStates.end(), 1), 0);
}
