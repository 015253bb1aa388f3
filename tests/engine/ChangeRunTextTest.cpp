// The texts of the change run and the building of its plan.
#include "engine/ChangeRun.h"
#include <gtest/gtest.h>

using namespace engine;

TEST(ChangeRunText, SummaryWithItsTabsAndFullWidthColons) {
  EXPECT_EQ(SummaryText(false, 3, 1, 2),
            L"変更が終了しました。\r\r変更数\t\t： 3\rエラー数\t\t： 1\r未変更数\t： 2");
  EXPECT_EQ(SummaryText(true, 0, 0, 10),
            L"変更を中断しました。\r\r変更数\t\t： 0\rエラー数\t\t： 0\r未変更数\t： 10");
}

TEST(ChangeRunText, QuestionsNameThePathFirst) {
  const std::wstring p = L"C:\\データ\\一覧表";
  EXPECT_EQ(QuestionText(TQuestion::Missing, p), p + L" が存在しません。\r処理を続けますか？");
  EXPECT_EQ(QuestionText(TQuestion::AttrUnreadable, p), p + L" の属性は変更できません。\r処理を続けますか？");
  EXPECT_EQ(QuestionText(TQuestion::AttrWriteFailed, p), p + L" の属性が変更できませんでした。\r処理を続けますか？");
  EXPECT_EQ(QuestionText(TQuestion::TimeUnreadable, p), p + L" の更新日時は変更できません。\r処理を続けますか？");
  EXPECT_EQ(QuestionText(TQuestion::TimeWriteFailed, p), p + L" の更新日時が変更できませんでした。\r処理を続けますか？");
}

TEST(ChangeRunText, QuestionButtonsInOrder) {
  EXPECT_STREQ(kQuestionButtons[0], L"はい(&Y)");
  EXPECT_STREQ(kQuestionButtons[1], L"中止(&A)");
  EXPECT_STREQ(kQuestionButtons[2], L"すべてはい(&A)");
  EXPECT_STREQ(kEmptyListText, L"ファイルまたはフォルダが選択されていません。");
}

TEST(ChangePlanBuild, MaskFromTheCheckBoxesValuesFromTheOnButtons) {
  TChangeControls c;
  c.ReadOnly = true;
  c.ReadOnlyOn = true;
  c.Hidden = true;
  c.HiddenOn = false;
  c.System = false;
  c.SystemOn = true;  // ignored: its check box is off
  ChangePlan plan;
  BuildAttrPlan(c, plan);
  EXPECT_EQ(plan.AttrMask, DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN});
  EXPECT_EQ(plan.AttrValues, DWORD{FILE_ATTRIBUTE_READONLY});
  c = {};
  c.ReadOnly = c.Hidden = c.System = true;
  c.ReadOnlyOn = c.HiddenOn = c.SystemOn = true;
  BuildAttrPlan(c, plan);
  EXPECT_EQ(plan.AttrMask, 7u);
  EXPECT_EQ(plan.AttrValues, 7u);
  c = {};
  c.ReadOnlyOn = c.HiddenOn = c.SystemOn = true;
  BuildAttrPlan(c, plan);
  EXPECT_EQ(plan.AttrMask, 0u);
  EXPECT_EQ(plan.AttrValues, 0u);
}

TEST(ChangePlanBuild, DateTimesFromTheStoredPartsInWholeSeconds) {
  TDateParts parts{};
  parts[dsCreate] = {2026, 12, 7, 9, 30, 15};
  parts[dsUpdate] = {1980, 1, 1, 0, 0, 0};
  ChangePlan plan;
  std::wstring message;
  ASSERT_TRUE(BuildDatePlan(parts, plan, message));
  comm::TDateTime c, u;
  ASSERT_TRUE(comm::TryEncodeDateTime({2026, 12, 7, 9, 30, 15, 0}, c));
  ASSERT_TRUE(comm::TryEncodeDateTime({1980, 1, 1, 0, 0, 0, 0}, u));
  EXPECT_EQ(plan.CreateTime, c);
  EXPECT_EQ(plan.UpdateTime, u);
  EXPECT_TRUE(message.empty());
}

TEST(ChangePlanBuild, PartsThatFormNoDateFailWithAMessage) {
  TDateParts parts{};
  parts[dsCreate] = {2026, 2, 3, 4, 5, 6};
  parts[dsUpdate] = {2026, 2, 30, 0, 0, 0};
  ChangePlan plan;
  plan.CreateTime = 11;
  plan.UpdateTime = 22;
  std::wstring message;
  EXPECT_FALSE(BuildDatePlan(parts, plan, message));
  EXPECT_EQ(message, L"更新日時 2026/02/30 00:00:00 は正しい日時ではありません。");
  EXPECT_EQ(plan.CreateTime, 11);
  EXPECT_EQ(plan.UpdateTime, 22);
  parts[dsCreate] = {2026, 2, 3, 24, 0, 0};
  EXPECT_FALSE(BuildDatePlan(parts, plan, message));
  EXPECT_EQ(message, L"作成日時 2026/02/03 24:00:00 は正しい日時ではありません。");
}
