// The file list window: layout and resizing, the count label, hiding on close, the two copies of the
// target list, and the lock of a collection.
#include "CollectionFakes.h"
#include "support/DialogAnswerer.h"
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
  Strings Items() const {
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
  window.HListBoxFileList.Add(L"C:\\zzz");  // behind the collection's back: counted at activation
  window.BringToFront();
  PumpFor(30);
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 3");
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
  EXPECT_EQ(Strings(window.TargetList().begin(), window.TargetList().end()), expected);
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
