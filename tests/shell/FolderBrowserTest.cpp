// The folder browser: its flags and placement rule, and the dialog driven through its window.
#include "shell/FolderBrowser.h"
#include "support/BrowseDialog.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "ui/Form.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>

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

namespace {

// Runs the browser; once its window is up, hands it to the user's part, which ends it.
bool BrowseAsUser(TSHBrowseForFolderEx& browser, const std::function<void(HWND dialog)>& user) {
  bool looked = false;
  testsupport::LoopSteps steps({[&]() {
    HWND dlg = browser.DialogWnd();
    if (!dlg || !IsWindowVisible(dlg)) return false;
    looked = true;
    user(dlg);
    return true;
  }});
  const bool ok = browser.Execute();
  EXPECT_TRUE(looked) << "the dialog never showed";
  return ok;
}

// Sets a folder's last-access time years back, as if it had not been listed since it last changed:
// its next listing moves that time.
void MakeUnlistedSinceChanged(const std::wstring& folder) {
  HANDLE h = CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SYSTEMTIME st{2020, 1, 0, 1, 0, 0, 0, 0};
  FILETIME old{};
  SystemTimeToFileTime(&st, &old);
  EXPECT_TRUE(SetFileTime(h, nullptr, &old, nullptr));
  CloseHandle(h);
}

}  // namespace

TEST(FolderBrowser, RememberedFolderIsSelectedAfterItsParentsChanged) {
  testsupport::TempTree tree;
  TOwner owner;
  TSHBrowseForFolderEx browser(&owner);
  browser.SelectFolder = sfManual;
  // A folder made just now, and one whose parents changed since they were last listed: neither is
  // listed by the test first.
  const std::wstring fresh = tree.MakeDir(L"親\\新しいフォルダ");
  const std::wstring older = tree.MakeDir(L"上\\中\\覚えたフォルダ");
  tree.MakeFile(L"上\\中\\後から.txt");
  MakeUnlistedSinceChanged(tree.Path(L"上\\中"));
  MakeUnlistedSinceChanged(tree.Path(L"上"));
  for (const std::wstring& folder : {fresh, older}) {
    SCOPED_TRACE(folder);
    browser.SelectFolderName = folder;
    testsupport::BrowseDialogView seen;
    // Enter answers OK as the user would press it: the remembered folder comes back, never the desktop.
    ASSERT_TRUE(BrowseAsUser(browser, [&](HWND dlg) {
      seen = testsupport::ReadBrowseDialog(dlg);
      PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(seen.selected, folder.substr(folder.find_last_of(L'\\') + 1));
    EXPECT_TRUE(seen.okEnabled);
    EXPECT_EQ(browser.SelectedPath(), folder);
  }
}

TEST(FolderBrowser, NothingSelectedLeavesOkDisabledUntilTheUserSelects) {
  testsupport::TempTree tree;
  TOwner owner;
  TSHBrowseForFolderEx browser(&owner);
  // A first folder outside the tree's root cannot be selected: the dialog opens with no selection.
  browser.RootFolder = rfManual;
  browser.RootFolderName = tree.MakeDir(L"根\\下");
  browser.SelectFolder = sfManual;
  browser.SelectFolderName = tree.MakeDir(L"外");
  testsupport::BrowseDialogView opened, picked;
  ASSERT_TRUE(BrowseAsUser(browser, [&](HWND dlg) {
    opened = testsupport::ReadBrowseDialog(dlg);
    HWND tree = FindWindowExW(dlg, nullptr, WC_TREEVIEWW, nullptr);
    // The user picks the root: OK is enabled, and answers with it.
    const auto root = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, root);
    picked = testsupport::ReadBrowseDialog(dlg);
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
  }));
  EXPECT_EQ(opened.selected, L"");
  EXPECT_FALSE(opened.okEnabled);
  EXPECT_EQ(picked.selected, L"下");
  EXPECT_TRUE(picked.okEnabled);
  EXPECT_EQ(browser.SelectedPath(), tree.Path(L"根\\下"));
}

TEST(FolderBrowser, OpenedBesideAnOwnerAtTheScreensEdgeLiesWhollyOnTheWorkArea) {
  TOwner owner;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // The client origin near the right and bottom edges: the dialog placed there would reach past both.
  owner.SetBounds(work.right - 120, work.bottom - 90, owner.Width(), owner.Height());
  TSHBrowseForFolderEx browser(&owner);
  testsupport::BrowseDialogView seen;
  EXPECT_FALSE(Browse(browser, seen, IDCANCEL));
  EXPECT_GE(seen.rect.left, work.left);
  EXPECT_GE(seen.rect.top, work.top);
  EXPECT_EQ(seen.rect.right, work.right);  // moved just enough
  EXPECT_EQ(seen.rect.bottom, work.bottom);

  // Where it fits, it stays at the client origin.
  owner.SetBounds(40, 30, owner.Width(), owner.Height());
  POINT origin{0, 0};
  ClientToScreen(owner.Handle(), &origin);
  EXPECT_FALSE(Browse(browser, seen, IDCANCEL));
  EXPECT_EQ(seen.rect.left, origin.x);
  EXPECT_EQ(seen.rect.top, origin.y);
}
