// The file list window: layout and resizing, the count label, hiding on close, the two copies of the
// target list, the lock, and the command line.
#include "CollectionFakes.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "targets/CommandLine.h"
#include "targets/FileList.h"
#include <gtest/gtest.h>

using targets::TFormFileList;
using targetstest::FakeHost;
using testsupport::PumpFor;
using Strings = std::vector<std::wstring>;

namespace {

// The main window's part of the lock, as it will do it: the list window's controls and the window.
struct LockingHost : FakeHost {
  TFormFileList* window = nullptr;
  LockingHost() {
    onSetControlsEnabled = [this](bool enabled) {
      if (!window) return;
      window->SetListControlsEnabled(enabled);
      window->SetEnabled(enabled);
    };
  }
};

class FileList : public ::testing::Test {
 protected:
  FileList() : window(host) { host.window = &window; }

  Strings ListItems() const {
    Strings out;
    for (int i = 0; i < window.EntryCount(); ++i) out.push_back(window.Entry(i));
    return out;
  }

  // The two copies hold the same entries at the same indices.
  void ExpectCopiesAligned(int line) {
    SCOPED_TRACE(testing::Message() << "called from line " << line);
    EXPECT_EQ(ListItems(), Strings(window.TargetList().begin(), window.TargetList().end()));
  }

  RECT ClientBoundsOf(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  testsupport::TempTree tree;
  LockingHost host;
  TFormFileList window;
};
#define EXPECT_COPIES_ALIGNED() ExpectCopiesAligned(__LINE__)

}  // namespace

TEST_F(FileList, IsASizableWindowWithItsHeadAndAListFillingTheRest) {
  EXPECT_EQ(window.Caption(), L"VornaStampShifter（ファイル一覧）");
  EXPECT_FALSE(window.Showing());
  const LONG_PTR style = GetWindowLongPtrW(window.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_EQ(window.Width(), 308);
  EXPECT_EQ(window.Height(), 333);
  EXPECT_EQ(window.GetFont().Name, L"ＭＳ Ｐゴシック");
  EXPECT_EQ(window.GetFont().Height, -12);

  EXPECT_EQ(window.PanelHead.Height(), 41);
  EXPECT_EQ(window.PanelHead.BevelOuter(), ui::Bevel::Lowered);
  EXPECT_EQ(window.PanelHead.BevelInner(), ui::Bevel::Raised);
  const RECT label = window.LabelListNum.BoundsRect();
  EXPECT_EQ(label.left, 8);
  EXPECT_EQ(label.top, 8);
  EXPECT_EQ(label.right - label.left, 233);
  EXPECT_EQ(label.bottom - label.top, 25);
  EXPECT_EQ(window.LabelListNum.Layout, ui::TextLayout::Center);
  EXPECT_EQ(window.LabelListNum.Caption(), L"");  // until the first count

  struct {
    widgets::TCommonButton* button;
    int left;
    const wchar_t* hint;
  } buttons[] = {{&window.SpeedButtonSave, 224, L"一覧の内容をファイルに出力します(Ctrl+S)|"},
                 {&window.SpeedButtonCBCopy, 248, L"一覧の内容をクリップボードにコピーします(Ctrl+C)|"},
                 {&window.SpeedButtonClear, 272, L"一覧の内容をクリアします"}};
  for (const auto& b : buttons) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(b.hint)));
    EXPECT_EQ(b.button->Parent(), &window.PanelHead);
    EXPECT_EQ(b.button->BoundsRect().left, b.left);
    EXPECT_EQ(b.button->Top(), 8);
    EXPECT_EQ(b.button->Width(), 23);
    EXPECT_EQ(b.button->Height(), 22);
    EXPECT_TRUE(b.button->Flat());
    EXPECT_NE(b.button->Glyph(), nullptr);
    EXPECT_FALSE(b.button->Enabled());
    EXPECT_EQ(b.button->Hint(), b.hint);
  }

  HWND list = window.HListBoxFileList.Handle();
  const LONG_PTR listStyle = GetWindowLongPtrW(list, GWL_STYLE);
  EXPECT_TRUE(listStyle & LBS_EXTENDEDSEL);
  EXPECT_FALSE(listStyle & LBS_SORT);  // the order is the target list's, not the control's
  EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 12);

  const RECT r = ClientBoundsOf(list);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 41);
  EXPECT_EQ(r.right, window.ClientWidth());
  EXPECT_EQ(r.bottom, window.ClientHeight());
}

TEST_F(FileList, ResizingKeepsTheHeadAcrossTheTopAndTheListFillingTheRest) {
  window.Show();
  const int saveLeft = window.SpeedButtonSave.Left();
  const int copyGap = window.ClientWidth() - window.SpeedButtonCBCopy.Left();
  const int clearGap = window.ClientWidth() - window.SpeedButtonClear.Left();
  SetWindowPos(window.Handle(), nullptr, 0, 0, 520, 410, SWP_NOMOVE | SWP_NOZORDER);
  PumpFor(50);
  EXPECT_EQ(window.PanelHead.Width(), window.ClientWidth());
  // Copy and clear follow the right edge; save stays where it was.
  EXPECT_EQ(window.SpeedButtonSave.Left(), saveLeft);
  EXPECT_EQ(window.ClientWidth() - window.SpeedButtonCBCopy.Left(), copyGap);
  EXPECT_EQ(window.ClientWidth() - window.SpeedButtonClear.Left(), clearGap);
  EXPECT_GT(window.SpeedButtonClear.Left(), 272);
  const RECT r = ClientBoundsOf(window.HListBoxFileList.Handle());
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 41);
  EXPECT_EQ(r.right, window.ClientWidth());
  EXPECT_EQ(r.bottom, window.ClientHeight());

  // Smaller than the head: the list shrinks to nothing rather than to a negative height.
  SetWindowPos(window.Handle(), nullptr, 0, 0, 200, 40, SWP_NOMOVE | SWP_NOZORDER);
  PumpFor(50);
  EXPECT_GE(window.HListBoxFileList.Height(), 0);
}

TEST_F(FileList, ClosingHidesTheWindowAndKeepsTheList) {
  tree.MakeFile(L"a.txt");
  window.AddPaths({tree.Path(L"a.txt")});
  window.Show();
  ASSERT_TRUE(window.Showing());
  SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(window.Showing());
  EXPECT_TRUE(IsWindow(window.Handle()));
  EXPECT_EQ(ListItems(), (Strings{tree.Path(L"a.txt")}));
}

TEST_F(FileList, TheCountLabelShowsTheNumberOfEntries) {
  window.UpdateCount();
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 0");
  for (auto f : {L"top\\a.txt", L"top\\b.txt"}) tree.MakeFile(f);
  window.AddPaths({tree.Path(L"top")});
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 3");

  // Activation counts afresh: items put in behind the collection's back are counted too.
  window.Show();
  ui::Form other;
  other.CreateForm(L"他", WS_OVERLAPPEDWINDOW, 0, 100, 100);
  other.Show();
  PumpFor(50);
  ASSERT_NE(GetActiveWindow(), window.Handle());
  window.HListBoxFileList.Add(L"C:\\zzz");
  window.BringToFront();
  PumpFor(50);
  EXPECT_EQ(window.LabelListNum.Caption(), L"現在の選択ファイル数: 4");
}

TEST_F(FileList, CollectedEntriesLandAtTheSameIndexInBothCopies) {
  for (auto f : {L"b.txt", L"A.txt", L"c.txt", L"sub\\m.txt"}) tree.MakeFile(f);
  window.AddPaths({tree.Path(L"b.txt")});
  window.AddPaths({tree.Path(L"c.txt"), tree.Path(L"A.txt")});
  window.AddPaths({tree.Path(L"sub")});
  EXPECT_EQ(ListItems(), (Strings{tree.Path(L"A.txt"), tree.Path(L"b.txt"), tree.Path(L"c.txt"), tree.Path(L"sub"),
                                  tree.Path(L"sub\\m.txt")}));
  EXPECT_COPIES_ALIGNED();
}

TEST_F(FileList, TheListWidensForTheWidestEntryFilesAndFoldersAlike) {
  const std::wstring folder = tree.MakeDir(L"a-folder-whose-name-is-far-wider-than-the-window-is-wide-by-itself");
  tree.MakeFile(L"short.txt");
  host.foldersOnly = true;
  window.AddPaths({folder});
  EXPECT_EQ(window.HListBoxFileList.MaxExtent(), window.HListBoxFileList.MeasureText(folder));
  host.foldersOnly = false;
  window.AddPaths({tree.Path(L"short.txt")});
  EXPECT_EQ(window.HListBoxFileList.MaxExtent(), window.HListBoxFileList.MeasureText(folder));
}

TEST_F(FileList, CommandsStartDisabledAndAreEnabledByACollectionThatLeavesEntries) {
  EXPECT_FALSE(window.CommandsEnabled());
  window.AddPaths({tree.Path(L"missing")});
  // The main window's unlock enables them all the same.
  EXPECT_TRUE(window.CommandsEnabled());
  EXPECT_TRUE(window.SpeedButtonSave.Enabled());
  EXPECT_TRUE(window.SpeedButtonCBCopy.Enabled());
  EXPECT_TRUE(window.SpeedButtonClear.Enabled());

  host.onSetControlsEnabled = nullptr;  // a host that leaves the list window alone
  window.SetCommandsEnabled(false);
  window.AddPaths({tree.Path(L"missing")});
  EXPECT_FALSE(window.CommandsEnabled());
  EXPECT_FALSE(window.SpeedButtonClear.Enabled());
  tree.MakeFile(L"a.txt");
  window.AddPaths({tree.Path(L"a.txt")});
  EXPECT_TRUE(window.CommandsEnabled());
  EXPECT_TRUE(window.SpeedButtonClear.Enabled());
}

TEST_F(FileList, TheLockDisablesTheLabelTheListTheCommandsAndTheWindowDuringTheWalk) {
  tree.MakeFile(L"top\\a.txt");
  targetstest::SplashLog splash;
  bool listEnabled = true, labelEnabled = true, windowEnabled = true, commands = true, button = true;
  splash.onProgress = [&](int) {
    listEnabled = IsWindowEnabled(window.HListBoxFileList.Handle()) != FALSE;
    labelEnabled = window.LabelListNum.Enabled();
    windowEnabled = IsWindowEnabled(window.Handle()) != FALSE;
    commands = window.CommandsEnabled();
    button = window.SpeedButtonSave.Enabled();
  };
  window.Collection().SetSplashFactory(targetstest::FakeSplashFactory(splash));
  host.splashCount = 1;
  window.AddPaths({tree.Path(L"top")});
  ASSERT_FALSE(splash.positions.empty());
  EXPECT_FALSE(listEnabled);
  EXPECT_FALSE(labelEnabled);
  EXPECT_FALSE(windowEnabled);
  EXPECT_FALSE(commands);
  EXPECT_FALSE(button);
  EXPECT_TRUE(IsWindowEnabled(window.HListBoxFileList.Handle()));
  EXPECT_TRUE(window.LabelListNum.Enabled());
  EXPECT_TRUE(IsWindowEnabled(window.Handle()));
}

TEST_F(FileList, IsPlacedAtTheRightEdgeOfTheMainWindowWithItsSize) {
  window.PlaceBeside(RECT{100, 50, 420, 450});
  EXPECT_EQ(window.Left(), 420);
  EXPECT_EQ(window.Top(), 50);
  EXPECT_EQ(window.Width(), 320);
  EXPECT_EQ(window.Height(), 400);
  EXPECT_FALSE(window.Showing());
}

// ---- the command line ----

TEST(CommandLine, SplitsAtBlanksAndTakesQuotedBlanksAndTrailingSeparatorsAsTheyStand) {
  EXPECT_EQ(targets::SplitCommandLine(L"\"C:\\Program Files\\vss.exe\"  \"C:\\My Dir\\\" C:\\a.txt\tD:\\"),
            (Strings{L"C:\\Program Files\\vss.exe", L"C:\\My Dir\\", L"C:\\a.txt", L"D:\\"}));
  EXPECT_EQ(targets::SplitCommandLine(L"vss.exe C:\\a\" b\"c.txt \"\""), (Strings{L"vss.exe", L"C:\\a bc.txt", L""}));
  EXPECT_EQ(targets::SplitCommandLine(L"   "), Strings{});
  EXPECT_FALSE(targets::ProgramArguments().size() > 0 && targets::ProgramArguments()[0].find(L".exe") != std::wstring::npos)
      << "the program's own name is not an argument";
}

TEST(CommandLine, PathsTakeTheirLongFormInArgumentOrderAndADriveRootKeepsItsSeparator) {
  testsupport::TempTree tree;
  tree.MakeFile(L"Mixed Case\\Zeta.txt");
  tree.MakeFile(L"Mixed Case\\alpha.txt");
  std::wstring lower = tree.Path(L"mixed case\\zeta.txt");
  EXPECT_EQ(targets::CommandLinePaths({lower, L"", tree.Path(L"Mixed Case\\alpha.txt"), L"C:\\"}),
            (Strings{tree.Path(L"Mixed Case\\Zeta.txt"), tree.Path(L"Mixed Case\\alpha.txt"), L"C:\\"}));
}

TEST_F(FileList, TheCommandLineGoesIntoOneCollection) {
  for (auto f : {L"one\\a.txt", L"two.txt"}) tree.MakeFile(f);
  window.TakeCommandLine({tree.Path(L"one"), tree.Path(L"two.txt"), tree.Path(L"missing")});
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
  EXPECT_EQ(ListItems(), (Strings{tree.Path(L"one"), tree.Path(L"one\\a.txt"), tree.Path(L"two.txt")}));

  host.enableCalls.clear();
  window.TakeCommandLine({});
  EXPECT_TRUE(host.enableCalls.empty());
}
