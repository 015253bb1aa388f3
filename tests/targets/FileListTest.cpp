// The file list window: layout and resizing, the count label, hiding on close, the two copies of the
// target list, and the lock of a collection.
#include "CollectionFakes.h"
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "support/DialogUser.h"
#include "support/FileObstacles.h"
#include "comm/Cp932.h"
#include "settings/RegMng.h"
#include "ui/Application.h"
#include "ui/Error.h"
#include "support/Drop.h"
#include "support/TempTree.h"
#include "targets/FileList.h"
#include <functional>
#include <gtest/gtest.h>

using testsupport::PumpFor;
using Strings = std::vector<std::wstring>;

namespace {

class FileList : public ::testing::Test {
 protected:
  FileList() {
    // The main window's share of the lock: the list window's controls and the window itself.
    host.onSetControlsEnabled = [this](bool enabled) {
      window.SetListControlsEnabled(enabled);
      window.SetEnabled(enabled);
    };
  }
  // The entries as the window shows them; the list control holds one item for each.
  Strings Items() const {
    EXPECT_EQ(window.HListBoxFileList.Count(), window.EntryCount());
    Strings out;
    for (int i = 0; i < window.EntryCount(); ++i) out.push_back(window.Entry(i));
    return out;
  }
  RECT ListRect() const {
    RECT r;
    GetWindowRect(window.HListBoxFileList.Handle(), &r);
    MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  testsupport::TempTree tree;
  targetstest::FakeHost host;
  targets::TFormFileList window{host};
};

}  // namespace

TEST_F(FileList, HasItsHeadButtonsAndAListFillingTheWindowAlsoAfterAResize) {
  EXPECT_EQ(window.Caption(), L"VornaStampShifter（ファイル一覧）");
  EXPECT_TRUE(GetWindowLongPtrW(window.Handle(), GWL_STYLE) & WS_THICKFRAME);
  EXPECT_FALSE(window.Showing());
  EXPECT_EQ(window.PanelHead.Height(), 41);
  EXPECT_EQ(window.LabelListNum.BoundsRect().right, 8 + 233);
  const LONG_PTR listStyle = GetWindowLongPtrW(window.HListBoxFileList.Handle(), GWL_STYLE);
  EXPECT_TRUE((listStyle & LBS_EXTENDEDSEL) && !(listStyle & LBS_SORT));
  int left = 224;
  for (auto* b : {&window.SpeedButtonSave, &window.SpeedButtonCBCopy, &window.SpeedButtonClear}) {
    EXPECT_EQ(b->BoundsRect().left, left);
    EXPECT_FALSE(b->Enabled());
    EXPECT_NE(b->Glyph(), nullptr);
    left += 24;
  }

  window.Show();
  const int copyGap = window.ClientWidth() - window.SpeedButtonCBCopy.Left();
  for (SIZE size : {SIZE{520, 410}, SIZE{200, 40}}) {
    SetWindowPos(window.Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(30);
    const RECT r = ListRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 41);
    EXPECT_EQ(r.right, window.ClientWidth());
    EXPECT_EQ(r.bottom, std::max(41, window.ClientHeight()));
    EXPECT_EQ(window.PanelHead.Width(), window.ClientWidth());
    EXPECT_EQ(window.SpeedButtonSave.Left(), 224);  // save keeps its place, copy and clear follow the edge
    EXPECT_EQ(window.ClientWidth() - window.SpeedButtonCBCopy.Left(), copyGap);
  }
}

TEST_F(FileList, TheCountLabelFollowsCollectionsAndActivation) {
  EXPECT_EQ(window.LabelListNum.Caption(), L"");
  tree.MakeFile(L"top\\a.txt");
  window.AddPaths({tree.Path(L"top")});
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 2");

  window.Show();
  ui::Form other;
  other.CreateForm(L"他", WS_OVERLAPPEDWINDOW, 0, 100, 100);
  other.Show();
  PumpFor(30);
  window.LabelListNum.SetCaption(L"");  // behind the window's back: put right at activation
  window.BringToFront();
  PumpFor(30);
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 2");
}

TEST_F(FileList, ClosingOnlyHidesTheWindow) {
  tree.MakeFile(L"a.txt");
  window.AddPaths({tree.Path(L"a.txt")});
  window.Show();
  SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(window.Showing());
  EXPECT_TRUE(IsWindow(window.Handle()));
  EXPECT_EQ(Items(), (Strings{tree.Path(L"a.txt")}));
}

TEST_F(FileList, EntriesLandInOrderAtTheSameIndexInBothCopiesAndWidenTheList) {
  const std::wstring wide = L"d-folder-whose-name-is-far-wider-than-the-window-that-shows-it";
  for (auto f : {L"b.txt", L"A.txt", L"c.txt"}) tree.MakeFile(f);
  tree.MakeDir(wide);
  window.AddPaths({tree.Path(L"b.txt")});
  window.AddPaths({tree.Path(L"c.txt"), tree.Path(L"A.txt"), tree.Path(wide)});
  const Strings expected = {tree.Path(L"A.txt"), tree.Path(L"b.txt"), tree.Path(L"c.txt"), tree.Path(wide)};
  EXPECT_EQ(Items(), expected);
  // A folder widens the range as a file does.
  EXPECT_EQ(window.HListBoxFileList.MaxExtent(), window.HListBoxFileList.MeasureText(tree.Path(wide)));
}

TEST_F(FileList, TheLockDisablesLabelListCommandsAndWindowAndEntriesEnableTheCommands) {
  tree.MakeFile(L"top\\a.txt");
  targetstest::SplashLog splash;
  std::vector<bool> during;
  splash.onProgress = [&](int) {
    during = {window.LabelListNum.Enabled(), IsWindowEnabled(window.HListBoxFileList.Handle()) != FALSE,
              window.SpeedButtonSave.Enabled(), IsWindowEnabled(window.Handle()) != FALSE};
  };
  window.Collection().SetSplashFactory(targetstest::FakeSplashFactory(splash));
  host.splashCount = 1;
  window.AddPaths({tree.Path(L"top")});
  EXPECT_EQ(during, (std::vector<bool>{false, false, false, false}));
  EXPECT_TRUE(window.LabelListNum.Enabled() && window.SpeedButtonClear.Enabled() && IsWindowEnabled(window.Handle()));

  host.onSetControlsEnabled = nullptr;  // without the main window's unlock, entries alone enable them
  window.SetCommandsEnabled(false);
  window.AddPaths({tree.Path(L"missing")});
  EXPECT_TRUE(window.CommandsEnabled() && window.SpeedButtonSave.Enabled());
}

TEST_F(FileList, TheCommandLineGoesIntoOneCollection) {
  for (auto f : {L"one\\a.txt", L"two.txt"}) tree.MakeFile(f);
  window.TakeCommandLine({tree.Path(L"one"), tree.Path(L"two.txt")});
  window.TakeCommandLine({});
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
  EXPECT_EQ(Items(), (Strings{tree.Path(L"one"), tree.Path(L"one\\a.txt"), tree.Path(L"two.txt")}));
}

TEST_F(FileList, DropsOnTheListAreCollectedOnceEachAndRefusedWhileTheListIsLocked) {
  for (auto f : {L"drop\\a.txt", L"b.txt", L"late.txt"}) tree.MakeFile(f);
  window.Show();
  const HWND list = window.HListBoxFileList.Handle();
  targetstest::SplashLog splash;
  bool lateFinished = false;
  // A drop that comes while the collection of the last one runs: the window is locked then.
  splash.onProgress = [&](int) {
    if (!lateFinished) lateFinished = testsupport::SendDrop(list, {tree.Path(L"late.txt")});
  };
  window.Collection().SetSplashFactory(targetstest::FakeSplashFactory(splash));
  host.splashCount = 1;
  EXPECT_TRUE(testsupport::SendDrop(list, {tree.Path(L"drop"), tree.Path(L"b.txt")}, POINT{4, 9}));
  EXPECT_TRUE(lateFinished);
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
  EXPECT_EQ(Items(), (Strings{tree.Path(L"b.txt"), tree.Path(L"drop"), tree.Path(L"drop\\a.txt")}));

  // A change run locks the list alone.
  window.SetListControlsEnabled(false);
  EXPECT_TRUE(testsupport::SendDrop(list, {tree.Path(L"late.txt")}));
  window.SetListControlsEnabled(true);
  EXPECT_EQ(window.EntryCount(), 3);
  EXPECT_TRUE(testsupport::SendDrop(list, {tree.Path(L"late.txt")}));
  EXPECT_EQ(window.EntryCount(), 4);
}

TEST_F(FileList, HeadIsDrawnAgainWholeAtEverySizeAndTheWindowKeepsALeastSize) {
  window.Show();
  PumpFor(30);
  auto headDrawnWhole = [&](const std::function<void()>& resize) {
    resize();
    RECT client, dirty;
    GetClientRect(window.PanelHead.Handle(), &client);
    const bool whole = GetUpdateRect(window.PanelHead.Handle(), &dirty, FALSE) && EqualRect(&client, &dirty);
    PumpFor(30);
    return whole;
  };
  auto size = [&](int cx, int cy) { SetWindowPos(window.Handle(), nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER); };
  EXPECT_TRUE(headDrawnWhole([&] { size(560, 400); }));
  EXPECT_TRUE(headDrawnWhole([&] { size(420, 300); }));
  EXPECT_TRUE(headDrawnWhole([&] { ShowWindow(window.Handle(), SW_MAXIMIZE); }));
  ShowWindow(window.Handle(), SW_RESTORE);
  // The least size (for dragging the frame too): one pixel more is taken, less gives the least size,
  // at which the buttons stand clear of each other and the list keeps its scroll bars whole.
  const SIZE least = window.LeastClientSize();
  const int frameX = window.Width() - window.ClientWidth(), frameY = window.Height() - window.ClientHeight();
  for (int over : {1, 0, -1, -150}) {
    size(least.cx + frameX + over, least.cy + frameY + over);
    EXPECT_EQ(window.ClientWidth(), least.cx + std::max(over, 0)) << over;
    EXPECT_EQ(window.ClientHeight(), least.cy + std::max(over, 0)) << over;
    EXPECT_GE(window.SpeedButtonCBCopy.Left(), window.SpeedButtonSave.Left() + window.SpeedButtonSave.Width()) << over;
    EXPECT_GE(ListRect().bottom - ListRect().top, 2 * GetSystemMetrics(SM_CYVSCROLL) + GetSystemMetrics(SM_CYHSCROLL));
  }
}

// ---- the list's commands ----

namespace {

// The context menu as it opens: entry captions with their enabled state; closed at once.
std::vector<std::pair<std::wstring, bool>> g_menuSeen;
void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HMENU menu = ui::PopupMenu::OpenMenu();
  if (!menu) return;
  KillTimer(nullptr, timer);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
    g_menuSeen.emplace_back(text, !(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED));
  }
  EndMenu();
}

POINT ScreenPointOfItem(HWND list, int index) {
  RECT r{};
  SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  POINT pt{r.left + 5, r.top + 3};
  ClientToScreen(list, &pt);
  return pt;
}

}  // namespace

TEST_F(FileList, DeleteKeepsListAndItemsAtOneIndexAndAnEmptiedListLosesItsScrollRange) {
  for (auto f : {L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"}) tree.MakeFile(f);
  window.AddPaths({tree.Path(L"*.txt")});
  window.HListBoxFileList.SetSelected(1, true);
  window.HListBoxFileList.SetSelected(3, true);
  window.DeleteListClick(nullptr);
  const Strings rest = {tree.Path(L"a.txt"), tree.Path(L"c.txt"), tree.Path(L"e.txt")};
  EXPECT_EQ(Items(), rest);
  EXPECT_EQ(window.HListBoxFileList.SelCount(), 0);  // the control lost the selected items, no others
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 3");
  EXPECT_GT(window.HListBoxFileList.MaxExtent(), 0);  // some left: the widest range stays

  window.DeleteListClick(nullptr);  // nothing selected: nothing happens
  EXPECT_EQ(Items(), rest);
  window.AllSelectFileClick(nullptr);
  window.DeleteListClick(nullptr);
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(window.HListBoxFileList.MaxExtent(), 0);
  EXPECT_TRUE(window.CommandsEnabled());  // a delete leaves the commands as they were
  window.AddPaths({tree.Path(L"a.txt")});  // the entry can come back: the copies agree
  EXPECT_EQ(Items(), Strings{tree.Path(L"a.txt")});
}

TEST_F(FileList, RightClickJoinsTheItemToTheSelectionAndTheMenuFollowsTheCommands) {
  for (auto f : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) tree.MakeFile(f);
  window.AddPaths({tree.Path(L"*.txt")});
  window.Show();
  const HWND list = window.HListBoxFileList.Handle();
  window.HListBoxFileList.SetSelected(0, true);
  window.HListBoxFileList.SetSelected(2, true);
  window.HListBoxFileListContextPopup(ScreenPointOfItem(list, 1), false);
  EXPECT_EQ(window.HListBoxFileList.SelCount(), 3);
  EXPECT_TRUE(window.HListBoxFileList.Selected(1));
  POINT below = ScreenPointOfItem(list, 3);
  below.y += 40;  // under the last item
  window.HListBoxFileListContextPopup(below, false);
  window.HListBoxFileListContextPopup(POINT{-1, -1}, true);
  EXPECT_EQ(window.HListBoxFileList.SelCount(), 3);

  // The menu a right click opens: five entries, enabled with the commands.
  for (bool enabled : {true, false}) {
    SCOPED_TRACE(enabled);
    if (!enabled) window.SpeedButtonClearClick(nullptr);
    g_menuSeen.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, ReadAndCloseMenu);
    const POINT at = ScreenPointOfItem(list, 0);
    SendMessageW(window.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    KillTimer(nullptr, timer);
    const std::vector<std::pair<std::wstring, bool>> expected = {
        {L"ファイルに保存(&S)...\tCtrl+S", enabled}, {L"", false},
        {L"クリップボードにコピー(&C)\tCtrl+C", enabled}, {L"削除(&D)\tDel", enabled},
        {L"全て選択(&A)\tCtrl+A", enabled}};
    ASSERT_EQ(g_menuSeen.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
      if (i == 1) continue;  // the separator
      EXPECT_EQ(g_menuSeen[i], expected[i]);
    }
  }
}

TEST_F(FileList, ClearStopsTheShortcutsUntilTheNextCollection) {
  for (auto f : {L"a.txt", L"b.txt"}) tree.MakeFile(f);
  window.AddPaths({tree.Path(L"*.txt")});
  window.Show();
  window.HListBoxFileList.SetFocus();
  testsupport::PressKey(window.HListBoxFileList.Handle(), 'A', ui::ssCtrl);
  EXPECT_EQ(window.HListBoxFileList.SelCount(), 2);  // Ctrl+A acts while the list has the focus
  testsupport::PressKey(window.HListBoxFileList.Handle(), VK_DELETE);
  EXPECT_EQ(window.EntryCount(), 0);

  window.AddPaths({tree.Path(L"*.txt")});
  window.SpeedButtonClearClick(nullptr);
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 0");
  EXPECT_FALSE(window.CommandsEnabled() || window.SpeedButtonSave.Enabled() || window.ClipBoardCopy->Enabled);
  {
    testsupport::DialogAnswerer noDialog;  // a save dialog here would fail the test
    window.HListBoxFileList.SetFocus();
    testsupport::PressKey(window.HListBoxFileList.Handle(), 'S', ui::ssCtrl);
    testsupport::PumpFor(100);
    EXPECT_TRUE(noDialog.Shown().empty());
  }
  window.AddPaths({tree.Path(L"*.txt")});
  window.SpeedButtonClearClick(nullptr);
  host.onSetControlsEnabled = nullptr;
  window.AddPaths({tree.Path(L"missing.txt")});  // a collection that adds nothing to an empty list
  EXPECT_FALSE(window.CommandsEnabled());
  window.AddPaths({tree.Path(L"a.txt")});
  EXPECT_TRUE(window.CommandsEnabled() && window.DeleteList->Enabled && window.AllSelectFile->Enabled);
}

TEST_F(FileList, StandsAtTheMainWindowsRightElseAtItsLeftAndNeverCoversItWhereASideHasRoom) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const LONG w = 300, h = 250;
  auto bounds = [&] {
    RECT r{};
    GetWindowRect(window.Handle(), &r);
    return r;
  };
  // Room at the right: beside it there, with the main window's size.
  RECT main{work.left + 20, work.top + 20, work.left + 20 + w, work.top + 20 + h};
  window.PlaceBeside(main);
  RECT r = bounds();
  EXPECT_EQ(r.left, main.right);
  EXPECT_EQ(r.top, main.top);
  // The main window at the screen's right edge: the list stands at its left, not over it.
  main = RECT{work.right - w, work.top + 40, work.right, work.top + 40 + h};
  window.PlaceBeside(main);
  r = bounds();
  EXPECT_EQ(r.right, main.left);
  EXPECT_EQ(r.top, main.top);
  // The list command moves it there too, keeping the size it has.
  window.SetBounds(work.left, work.top, w + 10, h + 10);
  window.MoveBeside(main);
  r = bounds();
  EXPECT_EQ(r.right, main.left);
  EXPECT_EQ(r.right - r.left, w + 10);
  window.MoveBeside(RECT{work.left + 5, work.top + 40, work.left + 5 + w, work.top + 40 + h});
  EXPECT_EQ(bounds().left, work.left + 5 + w);
}
