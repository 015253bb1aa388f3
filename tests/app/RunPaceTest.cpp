// A long run started from the main window: a stop click is answered within the run's pace, however
// seldom the window looks at its messages, and the progress bar still reaches its end.
#include "app/Main.h"
#include "comm/Clock.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

// 20,000 targets over a few real files; every fetch of a target is one target begun, and moves the
// test's clock by one millisecond.
struct PacedTargets : engine::IChangeTargets {
  std::vector<std::wstring> files;
  int count = 20000;
  mutable int fetched = 0;
  std::function<void(int)> onFetch;
  int Count() const override { return count; }
  std::wstring Entry(int index) const override {
    ++fetched;
    if (onFetch) onFetch(index);
    return files[static_cast<size_t>(index) % files.size()];
  }
};

class RunPace : public ::testing::Test {
 protected:
  void SetUp() override {
    comm::FixTicksForTesting([this] { return now; });
  }
  void TearDown() override {
    comm::FixTicksForTesting(nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ui::Application::Instance().ResetTerminated();
  }
  void Prepare(app::TVNStampShifter& main) {
    for (int i = 0; i < 20; ++i) targets.files.push_back(tree.MakeFile(L"f" + std::to_wstring(i) + L".txt"));
    main.SetTargets(&targets);
    main.CheckBoxAttrChg.SetChecked(true);
    main.CheckBoxHidden.SetChecked(true);
    main.RadioButtonHiddenON.SetChecked(true);
    main.Show();
  }
  uint64_t now = 5000000;
  testsupport::TempTree tree;
  PacedTargets targets;
};

int BarPosition(const app::TVNStampShifter& main) {
  return static_cast<int>(SendMessageW(main.ProgressBar.Handle(), PBM_GETPOS, 0, 0));
}

}  // namespace

TEST_F(RunPace, AStopClickPostedDuringALongRunEndsItWithinFiftyMilliseconds) {
  app::TVNStampShifter main(tree.Path(L"VornaStampShifter.ini"));
  Prepare(main);
  // The user clicks the stop button while target 5,000 is being changed.
  constexpr int kClickAt = 5000;
  targets.onFetch = [&](int index) {
    now += 1;
    if (index == kClickAt) PostMessageW(main.ButtonSet.Handle(), BM_CLICK, 0, 0);
  };
  testsupport::DialogAnswerer answers;
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);

  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_TRUE(answers.Shown()[0].text.starts_with(L"変更を中断しました。")) << answers.Shown()[0].text.size();
  // Targets begun after the click: at most what 50 ms of the run hold.
  const int after = targets.fetched - 1 - kClickAt;
  EXPECT_GE(after, 0);
  EXPECT_LE(after, 50);
  EXPECT_EQ(main.ButtonSet.Caption(), L"開始");
  EXPECT_EQ(BarPosition(main), 0);
  main.SetTargets(nullptr);
}

TEST_F(RunPace, TheBarReachesTheLastTargetBeforeTheSummaryWhateverThePace) {
  app::TVNStampShifter main(tree.Path(L"VornaStampShifter.ini"));
  Prepare(main);
  targets.count = 300;
  // The clock never moves: the window looks at its messages at the run's start only, and the bar is
  // still moved to the last target before the summary.
  int barAtSummary = -1;
  testsupport::DialogAnswerer answers;
  answers.Responder = [&](const testsupport::ShownDialog&) {
    barAtSummary = BarPosition(main);
    return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
  };
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_TRUE(answers.Shown()[0].text.starts_with(L"変更が終了しました。"));
  EXPECT_EQ(barAtSummary, 299);
  EXPECT_EQ(targets.fetched, 300);
  main.SetTargets(nullptr);
}
