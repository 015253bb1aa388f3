// The preview: each target's times and attributes now and after the run, why a side stays, the order
// of any column, and that the run then does what it showed.
#include "ChangeRunFixture.h"
#include "engine/Preview.h"
#include <gtest/gtest.h>

using namespace engine;
using enginetest::ChangeRunTest;
using enginetest::kHid;
using testsupport::FileTimeOf;
using testsupport::ReadRawTimes;
using testsupport::WriteRawTimes;

namespace {

class PreviewTest : public ChangeRunTest {
 protected:
  // Update time from the date in each name; hidden on.
  ChangePlan Plan() {
    PlanDates(false, true);
    host.rules.Rule[dsUpdate].Source = TTimeSource::FileName;
    host.controls.AttrChg = host.controls.Hidden = host.controls.HiddenOn = true;
    ChangePlan plan;
    std::wstring message;
    EXPECT_TRUE(BuildChangePlan(host, plan, message));
    return plan;
  }
};

}  // namespace

TEST_F(PreviewTest, ShowsEachTargetNowAndAfterAndTheRunThenDoesWhatItShowed) {
  const std::wstring late = tree.MakeFile(L"IMG_20250714_150758.jpg"), early = tree.MakeFile(L"Screenshot_2019-03-04-05-06-07.png"),
                     none = tree.MakeFile(L"notes.txt"), gone = tree.Path(L"gone_20200101_000000.jpg");
  const int64_t old = FileTimeOf(2010, 1, 1, 0, 0, 0);
  for (const auto& p : {late, early, none}) ASSERT_TRUE(WriteRawTimes(p, old, old, old));
  host.paths = {late, early, none, gone};
  TPreview preview(host, Plan());
  ASSERT_EQ(preview.Count(), 4);
  EXPECT_EQ(preview.CellText(0, pcNote), L"…");  // not worked out yet
  EXPECT_TRUE(preview.Step(3));
  EXPECT_FALSE(preview.Step(100));
  EXPECT_TRUE(preview.Complete());

  EXPECT_EQ(preview.CellText(0, pcLastWrite), L"2010/01/01 00:00:00");
  EXPECT_EQ(preview.CellText(0, pcNewLastWrite), L"2025/07/14 15:07:58");
  EXPECT_EQ(preview.CellText(1, pcNewLastWrite), L"2019/03/04 05:06:07");
  EXPECT_EQ(preview.CellText(0, pcNewAttr), L"H");
  EXPECT_EQ(preview.CellText(0, pcNote), L"");
  EXPECT_EQ(preview.CellText(2, pcNewLastWrite), L"2010/01/01 00:00:00");
  EXPECT_EQ(preview.CellText(2, pcNote), L"更新日時: " + NoValueText(TNoValue::NoNameDate));
  EXPECT_EQ(preview.CellText(3, pcNote), L"ファイルまたはフォルダがありません");

  // Sorted by the new update time, latest first; the missing target has no time and goes last.
  preview.SortBy(pcNewLastWrite, false);
  EXPECT_EQ(preview.CellText(0, pcPath), late);
  EXPECT_EQ(preview.CellText(1, pcPath), early);
  EXPECT_EQ(preview.CellText(2, pcPath), none);
  preview.SortBy(pcNewLastWrite, true);
  EXPECT_EQ(preview.CellText(0, pcPath), none);
  EXPECT_EQ(preview.CellText(3, pcPath), gone);  // not a time either way
  const std::wstring csv = preview.CsvText();
  EXPECT_EQ(csv.substr(0, csv.find(L"\r\n")),
            L"パス,作成日時,新しい作成日時,更新日時,新しい更新日時,属性,新しい属性,備考");

  // The run with the same window does to each file what the preview said.
  host.answers = {TAnswer::Yes};  // the missing target
  run.ButtonSetClick();
  EXPECT_SUMMARY(false, 3, 0, 1);
  preview.SortBy(pcPath, true);
  EXPECT_EQ(preview.CellText(0, pcPath), gone);  // "GONE" < "IMG" < "NOTES" < "SCREENSHOT", ignoring case
  for (int i = 1; i < 4; ++i) {
    const TPreviewRow& row = preview.Row(i);
    const std::wstring path = preview.CellText(i, pcPath);
    const auto raw = ReadRawTimes(path);
    EXPECT_EQ(raw.LastWrite, static_cast<int64_t>((uint64_t{row.NewLastWrite.dwHighDateTime} << 32) |
                                                  row.NewLastWrite.dwLowDateTime)) << path;
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & kHid, row.NewAttr & kHid) << path;
  }
}
