// The program where something goes wrong: a run that meets an exception, and a command line whose
// argument is thousands of folders deep.
#include "app/Main.h"
#include "app/Startup.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include <gtest/gtest.h>
#include <new>

using testsupport::DialogAnswerer;

namespace {

// A target list whose second entry cannot be read: memory runs out in the middle of a run.
struct FailingTargets : engine::IChangeTargets {
  std::vector<std::wstring> paths;
  int Count() const override { return static_cast<int>(paths.size()); }
  std::wstring Entry(int index) const override {
    if (index == 1) throw std::bad_alloc();
    return paths.at(static_cast<size_t>(index));
  }
};

class RunRecovery : public ::testing::Test {
 protected:
  void TearDown() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ui::Application::Instance().ResetTerminated();
  }
  testsupport::TempTree tree;
};

}  // namespace

TEST_F(RunRecovery, AnExceptionInARunLeavesTheWindowIdleAndTellsTheUserWhatHappened) {
  app::TVNStampShifter main(tree.Path(L"VornaStampShifter.ini"));
  FailingTargets targets;
  targets.paths = {tree.MakeFile(L"a.txt"), tree.MakeFile(L"b.txt"), tree.MakeFile(L"c.txt")};
  main.SetTargets(&targets);
  main.CheckBoxAttrChg.SetChecked(true);
  main.CheckBoxHidden.SetChecked(true);
  main.RadioButtonHiddenON.SetChecked(true);
  main.Show();
  DialogAnswerer answers;
  answers.Press(L"OK").Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);

  // What went wrong first, then how far the run got.
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[0].text, L"std::bad_alloc");
  EXPECT_EQ(answers.Shown()[1].text, L"変更を中断しました。\r\r変更数\t\t： 1\rエラー数\t\t： 0\r未変更数\t： 2");
  // Idle again: the start button, the controls, the cursor.
  EXPECT_EQ(main.ButtonSet.Caption(), L"開始");
  EXPECT_EQ(main.ButtonSet.Hint(), L"日時／属性の変更を開始します");
  EXPECT_TRUE(main.ButtonEnd.Enabled());
  EXPECT_TRUE(main.CheckBoxAttrChg.Enabled());
  EXPECT_TRUE(main.CheckBoxHidden.Enabled());
  EXPECT_FALSE(ui::Application::Instance().CursorIsBusy());
  EXPECT_FALSE(main.Running());
  EXPECT_TRUE(GetFileAttributesW(targets.paths[0].c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(GetFileAttributesW(targets.paths[2].c_str()) & FILE_ATTRIBUTE_HIDDEN);
  main.SetTargets(nullptr);
}

TEST_F(RunRecovery, AnArgumentThousandsOfFoldersDeepStartsTheProgram) {
  // The command line holds up to 32,767 characters: about 16,000 components of one letter.
  std::wstring deep = tree.MakeDir(L"top");
  for (int i = 0; i < 5000; ++i) deep += L"\\d";
  const std::wstring file = tree.MakeFile(L"top\\f.txt");
  app::TProgram program(tree.Path(L"VornaStampShifter.exe"), {deep, file});
  // The deep path names nothing and adds nothing; the argument after it is collected: a run counts
  // the one entry.
  auto& main = program.MainWindow();
  main.CheckBoxAutoExit.SetChecked(false);
  main.Show();
  DialogAnswerer answers;
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].text, L"変更が終了しました。\r\r変更数\t\t： 1\rエラー数\t\t： 0\r未変更数\t： 0");
}
