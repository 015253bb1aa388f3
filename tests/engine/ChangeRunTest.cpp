// The change run on real files and folders, with a scripted main window and scripted answers.
#include "ChangeRunFixture.h"

using namespace engine;
using enginetest::ChangeRunTest;
using enginetest::kRO;
using enginetest::kHid;
using enginetest::kSys;
using enginetest::Attr;
using enginetest::SetAttr;
using enginetest::CreationTimeIsKept;
using testsupport::FileTimeOf;
using testsupport::ReadRawTimes;

TEST_F(ChangeRunTest, EmptyListTellsSoAndChangesNothing) {
  PlanDates(true, true);
  run.ButtonSetClick();
  EXPECT_EQ(host.informs, (std::vector<std::wstring>{kEmptyListText}));
  EXPECT_TRUE(host.questions.empty());
  EXPECT_EQ(host.events, (std::vector<std::string>{"inform", "arrow", "front", "at 0", "idle"}));
  EXPECT_FALSE(run.Running());
}

TEST_F(ChangeRunTest, SingleTargetRunsTheProgressFromZeroToZero) {
  const std::wstring f = tree.MakeFile(L"one.txt");
  host.paths = {f};
  PlanDates(true, true);
  run.ButtonSetClick();
  EXPECT_EQ(host.events, (std::vector<std::string>{"range 0..0", "busy", "running", "pump", "at 0", "inform", "arrow",
                                                   "front", "at 0", "idle"}));
  EXPECT_SUMMARY(false, 1, 0, 0);
  const auto raw = ReadRawTimes(f);
  EXPECT_EQ(raw.LastWrite, NewUpdate());
  if (CreationTimeIsKept()) {
    EXPECT_EQ(raw.Creation, NewCreate());
  }
}

TEST_F(ChangeRunTest, OnlyTheCheckedSideIsReplaced) {
  const std::wstring f = tree.MakeFile(L"f.txt");
  const int64_t old = FileTimeOf(2010, 10, 10, 10, 10, 10);
  ASSERT_TRUE(testsupport::WriteRawTimes(f, old, old, old));
  host.paths = {f};
  PlanDates(true, false);
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 1, 0, 0);
  auto raw = ReadRawTimes(f);
  EXPECT_EQ(raw.LastAccess, old);
  if (CreationTimeIsKept()) {
    EXPECT_EQ(raw.Creation, NewCreate());
    EXPECT_EQ(raw.LastWrite, old);
  }
  PlanDates(false, true);
  run.ButtonSetClick();
  raw = ReadRawTimes(f);
  EXPECT_EQ(raw.LastWrite, NewUpdate());
  EXPECT_EQ(raw.LastAccess, old);
  if (CreationTimeIsKept()) {
    EXPECT_EQ(raw.Creation, NewCreate());
  }
}

TEST_F(ChangeRunTest, NeitherStepCountsEveryExistingTargetAsChanged) {
  const std::wstring a = tree.MakeFile(L"a.txt"), b = tree.MakeFile(L"b.txt"), d = tree.MakeDir(L"d");
  SetAttr(b, kRO | kHid);
  const auto before = ReadRawTimes(a);
  host.paths = {a, b, d, tree.Path(L"gone.txt")};
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 3, 0, 1);
  EXPECT_EQ(Attr(a), 0u);
  EXPECT_EQ(Attr(b), kRO | kHid);
  EXPECT_EQ(ReadRawTimes(a).LastWrite, before.LastWrite);
}

TEST_F(ChangeRunTest, DateStepWithNeitherSideRewritesTheTimesCutToMilliseconds) {
  const std::wstring f = tree.MakeFile(L"f.txt");
  const int64_t t = FileTimeOf(2014, 4, 4, 4, 4, 4) + 1234567;
  ASSERT_TRUE(testsupport::WriteRawTimes(f, t, t, t));
  host.paths = {f};
  PlanDates(false, false);
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 1, 0, 0);
  const auto raw = ReadRawTimes(f);
  EXPECT_EQ(raw.LastWrite, t - 4567);
  EXPECT_EQ(raw.LastAccess, t);
}

TEST_F(ChangeRunTest, AttributeStepSwitchesTheCheckedAttributesOnFilesAndFolders) {
  const std::wstring f1 = tree.MakeFile(L"f1.txt"), f2 = tree.MakeFile(L"f2.txt"), d = tree.MakeDir(L"フォルダ");
  SetAttr(f1, kSys);
  SetAttr(f2, kRO | kSys);
  host.paths = {d, f1, f2};
  host.controls.AttrChg = true;
  host.controls.Hidden = true;
  host.controls.HiddenOn = true;
  host.controls.System = true;
  host.controls.SystemOn = false;
  host.controls.ReadOnlyOn = true;  // its check box is off: read-only is left as it is
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 3, 0, 0);
  EXPECT_EQ(Attr(f1), kHid);
  EXPECT_EQ(Attr(f2), kRO | kHid);
  EXPECT_EQ(Attr(d), kHid);
  EXPECT_TRUE(GetFileAttributesW(d.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(run.Plan().AttrMask, kHid | kSys);
  EXPECT_EQ(run.Plan().AttrValues, kHid);
}

TEST_F(ChangeRunTest, ReadOnlyFileGetsItsNewTimesAndStaysReadOnly) {
  const std::wstring f = tree.MakeFile(L"ro.txt");
  SetAttr(f, kRO);
  host.paths = {f};
  PlanDates(true, true);
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 1, 0, 0);
  EXPECT_EQ(ReadRawTimes(f).LastWrite, NewUpdate());
  EXPECT_EQ(Attr(f), kRO);
}

TEST_F(ChangeRunTest, ReadOnlySwitchedOnByTheAttributeStepIsTheStateKept) {
  const std::wstring f = tree.MakeFile(L"f.txt"), g = tree.MakeFile(L"g.txt");
  SetAttr(g, kRO);
  host.paths = {f, g};
  host.controls.AttrChg = true;
  host.controls.ReadOnly = true;
  PlanDates(false, true);
  host.controls.ReadOnlyOn = true;
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 2, 0, 0);
  EXPECT_EQ(Attr(f), kRO);
  EXPECT_EQ(ReadRawTimes(f).LastWrite, NewUpdate());
  // And switched off: the file ends writable with its new times.
  host.controls.ReadOnlyOn = false;
  host.SetParts(dsUpdate, 2003, 1, 1, 0, 0, 0);
  run.ButtonSetClick();
  EXPECT_EQ(Attr(f), 0u);
  EXPECT_EQ(Attr(g), 0u);
  EXPECT_EQ(ReadRawTimes(g).LastWrite, FileTimeOf(2003, 1, 1));
}

TEST_F(ChangeRunTest, FileHeldOpenFailsTheDateStepButNotTheAttributeStep) {
  const std::wstring f = tree.MakeFile(L"held.txt"), g = tree.MakeFile(L"g.txt");
  host.paths = {f, g};
  host.controls.AttrChg = true;
  host.controls.Hidden = host.controls.HiddenOn = true;
  PlanDates(true, true);
  host.answers = {TAnswer::Yes};
  {
    comm::TUniqueHandle holder(CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    run.ButtonSetClick();
  }
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::TimeUnreadable, f)}));
  EXPECT_SUMMARY(false, 1, 1, 0);
  EXPECT_EQ(Attr(f), kHid);
  EXPECT_NE(ReadRawTimes(f).LastWrite, NewUpdate());
  EXPECT_EQ(ReadRawTimes(g).LastWrite, NewUpdate());
}

TEST_F(ChangeRunTest, AbortInTheDateStepRestoresReadOnlyAndLeavesTheTargetUncounted) {
  const std::wstring a = tree.MakeFile(L"a.txt"), b = tree.MakeFile(L"b.txt"), c = tree.MakeFile(L"c.txt");
  SetAttr(b, kRO);
  host.paths = {a, b, c};
  PlanDates(true, true);
  host.answers = {TAnswer::Abort};
  {
    comm::TUniqueHandle holder(CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    run.ButtonSetClick();
  }
  EXPECT_SUMMARY(true, 1, 0, 2);
  EXPECT_TRUE(host.informs.back().starts_with(L"変更を中断しました。"));
  EXPECT_EQ(Attr(b), kRO);
  EXPECT_NE(ReadRawTimes(c).LastWrite, NewUpdate());
  EXPECT_TRUE(run.Aborted());
}

TEST_F(ChangeRunTest, MissingTargetAnsweredYesGoesOn) {
  const std::wstring a = tree.MakeFile(L"a.txt"), b = tree.MakeFile(L"b.txt");
  const std::wstring gone = tree.Path(L"gone.txt");
  host.paths = {a, gone, b};
  PlanDates(false, true);
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{gone + L" が存在しません。\r処理を続けますか？"}));
  EXPECT_SUMMARY(false, 2, 0, 1);
  EXPECT_EQ(ReadRawTimes(b).LastWrite, NewUpdate());
}

TEST_F(ChangeRunTest, MissingTargetAnsweredAbortStopsTheRun) {
  const std::wstring a = tree.MakeFile(L"a.txt"), b = tree.MakeFile(L"b.txt");
  host.paths = {a, tree.Path(L"gone.txt"), b};
  PlanDates(false, true);
  host.answers = {TAnswer::Abort};
  run.ButtonSetClick();
  EXPECT_SUMMARY(true, 1, 0, 2);
  EXPECT_NE(ReadRawTimes(b).LastWrite, NewUpdate());
  EXPECT_EQ(host.events.back(), "idle");
}

TEST_F(ChangeRunTest, YesToAllSilencesTheRestOfTheRun) {
  const std::wstring a = tree.MakeFile(L"a.txt"), held = tree.MakeFile(L"held.txt"), z = tree.MakeFile(L"z.txt");
  host.paths = {tree.Path(L"0 gone"), a, held, tree.Path(L"m gone"), z};
  PlanDates(true, true);
  host.answers = {TAnswer::YesToAll};
  {
    comm::TUniqueHandle holder(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    run.ButtonSetClick();
  }
  EXPECT_EQ(host.questions.size(), 1u);
  EXPECT_SUMMARY(false, 2, 1, 2);
  // A new run asks again.
  host.paths = {tree.Path(L"0 gone")};
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  EXPECT_EQ(host.questions.size(), 2u);
}

TEST_F(ChangeRunTest, ClosedQuestionCountsAsYesToAll) {
  host.paths = {tree.Path(L"a gone"), tree.Path(L"b gone"), tree.MakeFile(L"c.txt")};
  host.answers = {TAnswer::Closed};
  run.ButtonSetClick();
  EXPECT_EQ(host.questions.size(), 1u);
  EXPECT_SUMMARY(false, 1, 0, 2);
}

TEST_F(ChangeRunTest, StopFinishesTheTargetInProgressAndCountsTheRestUnchanged) {
  std::vector<std::wstring> files;
  for (int i = 0; i < 5; ++i) files.push_back(tree.MakeFile(L"f" + std::to_wstring(i) + L".txt"));
  host.paths = files;
  PlanDates(false, true);
  // The stop button is clicked while target 1 is being changed; the click is handled at the next pump.
  host.onPump = [&](int pump) {
    if (pump == 2) run.ButtonSetClick();
  };
  run.ButtonSetClick();
  EXPECT_SUMMARY(true, 2, 0, 3);
  EXPECT_TRUE(host.informs.back().starts_with(L"変更を中断しました。"));
  EXPECT_EQ(ReadRawTimes(files[1]).LastWrite, NewUpdate());
  EXPECT_NE(ReadRawTimes(files[2]).LastWrite, NewUpdate());
  // The click put the controls back to idle at once, without a second run.
  const std::vector<std::string> expected{"range 0..4", "busy",   "running", "pump",  "at 0", "pump",  "at 1", "pump",
                                          "idle",       "inform", "arrow",   "front", "at 0", "idle"};
  EXPECT_EQ(host.events, expected);
  EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "busy"), 1);
}

TEST_F(ChangeRunTest, DoubleClickOnStopStartsNoSecondRun) {
  std::vector<std::wstring> files;
  for (int i = 0; i < 3; ++i) files.push_back(tree.MakeFile(L"f" + std::to_wstring(i) + L".txt"));
  host.paths = files;
  PlanDates(false, true);
  // Both clicks of a double click arrive in one pumping: the first stops the run, the second finds
  // the run stopping and must not start another one inside it.
  host.onPump = [&](int pump) {
    if (pump == 1) {
      run.ButtonSetClick();
      run.ButtonSetClick();
    }
  };
  run.ButtonSetClick();
  EXPECT_SUMMARY(true, 1, 0, 2);
  EXPECT_EQ(host.informs.size(), 1u);
  EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "running"), 1);
  EXPECT_NE(ReadRawTimes(files[1]).LastWrite, NewUpdate());
  // Once the run has ended, the button starts a new one again.
  host.onPump = nullptr;
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 3, 0, 0);
}

TEST_F(ChangeRunTest, AutoExitAsksToCloseBeforeTheSummaryAlsoAfterAStop) {
  host.paths = {tree.MakeFile(L"a.txt"), tree.MakeFile(L"b.txt")};
  host.controls.AutoExit = true;
  run.ButtonSetClick();
  auto close = std::find(host.events.begin(), host.events.end(), "close");
  ASSERT_NE(close, host.events.end());
  EXPECT_EQ(*(close + 1), "inform");

  host.events.clear();
  host.pumps = 0;
  host.onPump = [&](int pump) {
    if (pump == 0) run.ButtonSetClick();
  };
  run.ButtonSetClick();
  EXPECT_SUMMARY(true, 0, 0, 2);
  close = std::find(host.events.begin(), host.events.end(), "close");
  ASSERT_NE(close, host.events.end());
  EXPECT_EQ(*(close + 1), "inform");
}

TEST_F(ChangeRunTest, NoAutoExitNoCloseRequest) {
  host.paths = {tree.MakeFile(L"a.txt")};
  run.ButtonSetClick();
  EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "close"), 0);
}

TEST_F(ChangeRunTest, InvalidDatePartsShowAnErrorAndRunNothing) {
  const std::wstring f = tree.MakeFile(L"f.txt");
  const auto before = ReadRawTimes(f);
  host.paths = {f};
  PlanDates(true, true);
  host.SetParts(dsCreate, 2026, 2, 29, 0, 0, 0);
  run.ButtonSetClick();
  EXPECT_EQ(host.errors, (std::vector<std::wstring>{L"作成日時 2026/02/29 00:00:00 は正しい日時ではありません。"}));
  EXPECT_TRUE(host.informs.empty());
  EXPECT_EQ(host.events, (std::vector<std::string>{"error", "idle"}));
  EXPECT_EQ(ReadRawTimes(f).LastWrite, before.LastWrite);
}

TEST_F(ChangeRunTest, PlanPartsAreRebuiltOnlyWhenTheirStepIsOn) {
  host.paths = {tree.MakeFile(L"a.txt")};
  host.controls.AttrChg = true;
  host.controls.Hidden = host.controls.HiddenOn = true;
  PlanDates(true, true);
  run.ButtonSetClick();
  const ChangePlan first = run.Plan();
  host.controls.AttrChg = false;
  host.controls.DateChg = false;
  host.controls.System = host.controls.SystemOn = true;
  host.SetParts(dsCreate, 2020, 1, 1, 0, 0, 0);
  host.SetParts(dsUpdate, 2020, 2, 30, 0, 0, 0);  // not a date, but not read either
  run.ButtonSetClick();
  EXPECT_TRUE(host.errors.empty());
  EXPECT_FALSE(run.Plan().ChangeAttr);
  EXPECT_FALSE(run.Plan().ChangeDate);
  EXPECT_EQ(run.Plan().AttrMask, first.AttrMask);
  EXPECT_EQ(run.Plan().AttrValues, first.AttrValues);
  EXPECT_EQ(run.Plan().CreateTime, first.CreateTime);
  EXPECT_EQ(run.Plan().UpdateTime, first.UpdateTime);
}

TEST_F(ChangeRunTest, FoldersTakeTheSamePathWithOrWithoutTrailingSeparator) {
  const std::wstring d1 = tree.MakeDir(L"d1"), d2 = tree.MakeDir(L"一覧表");
  host.paths = {d1 + L"\\", d2};
  host.controls.AttrChg = true;
  host.controls.System = host.controls.SystemOn = true;
  PlanDates(true, true);
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 2, 0, 0);
  EXPECT_EQ(Attr(d1), kSys);
  EXPECT_EQ(Attr(d2), kSys);
  EXPECT_EQ(ReadRawTimes(d1).LastWrite, NewUpdate());
  EXPECT_EQ(ReadRawTimes(d2).LastWrite, NewUpdate());
}

TEST_F(ChangeRunTest, UnreadableTimesAndFailedWritesAskTheirQuestions) {
  // Each step on its own: a missing path cannot have its attributes or times read; a year the file
  // system's times cannot hold fails the write.
  const std::wstring gone = tree.Path(L"gone.txt");
  host.answers = {TAnswer::Yes, TAnswer::Yes, TAnswer::Yes};
  EXPECT_FALSE(run.ChangeTargetAttr(gone));
  EXPECT_FALSE(run.ChangeTargetDateTime(gone));
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::AttrUnreadable, gone),
                                                       QuestionText(TQuestion::TimeUnreadable, gone)}));

  const std::wstring f = tree.MakeFile(L"f.txt");
  host.paths = {f};
  PlanDates(false, true);
  host.SetParts(dsUpdate, 1600, 1, 1, 0, 0, 0);
  host.questions.clear();
  run.ButtonSetClick();
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::TimeWriteFailed, f)}));
  EXPECT_SUMMARY(false, 0, 1, 0);
}

TEST_F(ChangeRunTest, AbortAnsweredInAStepSetsTheAbortFlag) {
  const std::wstring gone = tree.Path(L"gone.txt");
  host.answers = {TAnswer::Abort};
  EXPECT_FALSE(run.ChangeTargetAttr(gone));
  EXPECT_TRUE(run.Aborted());
}

TEST_F(ChangeRunTest, UnchangedIsCountedAgainstTheListAtTheEnd) {
  host.paths = {tree.MakeFile(L"a.txt"), tree.MakeFile(L"b.txt")};
  host.onPump = [&](int pump) {
    if (pump == 1) host.paths.push_back(tree.Path(L"late.txt"));  // cannot happen in the program; counted all the same
  };
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 2, 0, 1);
}

TEST_F(ChangeRunTest, FolderWhoseAttributesCannotBeSetAsksAndCountsAnError) {
  // A folder of the system that refuses attribute changes. Under Wine the kernel's /proc/sys is one;
  // elsewhere no such folder can be relied on.
  const std::wstring locked = L"Z:\\proc\\sys";
  if (!testsupport::RunningOnWine() || SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_DIRECTORY)) {
    GTEST_SKIP() << "no folder here refuses attribute changes";
  }
  const std::wstring f = tree.MakeFile(L"after.txt");
  host.paths = {locked, f};
  host.controls.AttrChg = true;
  host.controls.Hidden = true;
  host.controls.HiddenOn = true;
  host.answers = {TAnswer::Yes};
  run.ButtonSetClick();
  EXPECT_EQ(host.questions, (std::vector<std::wstring>{QuestionText(TQuestion::AttrWriteFailed, locked)}));
  EXPECT_EQ(QuestionText(TQuestion::AttrWriteFailed, locked), locked + L" の属性が変更できませんでした。\r処理を続けますか？");
  EXPECT_SUMMARY(false, 1, 1, 0);
  EXPECT_EQ(Attr(f), kHid);
}
