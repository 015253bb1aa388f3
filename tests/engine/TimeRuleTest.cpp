// The per-side time rules: each source for one target at both ends of its range, the taken time read
// once, the offset as text and the rule's words.
#include "engine/TimeRule.h"
#include "support/FixedClock.h"
#include "support/RawFileTime.h"
#include <gtest/gtest.h>

using namespace engine;
using testsupport::FileTimeOf;

namespace {

constexpr int64_t kSecond = 10000000;
FILETIME Ft(int64_t v) { return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(static_cast<uint64_t>(v) >> 32)}; }

comm::TDateTime Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  comm::TDateTime v = 0;
  EXPECT_TRUE(comm::TryEncodeDateTime({y, mo, d, h, mi, s, 0}, v));
  return v;
}

media::TMediaTime Media(int y, int mo, int d, int h, media::TMediaTime::TZone zone = media::TMediaTime::TZone::Local,
                        int offsetMinutes = 0) {
  media::TMediaTime t;
  t.Year = y, t.Month = mo, t.Day = d, t.Hour = h, t.Minute = 7, t.Second = 58;
  t.Zone = zone;
  t.OffsetMinutes = offsetMinutes;
  return t;
}

// One side of one target under a rule, as the UTC time written or the reason for none.
std::string Eval(TTimeRule rule, const TRuleTarget& target, TTimeSide side = tsUpdate, comm::TDateTime entered = 0) {
  TTimeRules rules;
  rules.Rule[side] = rule;
  rules.Entered[side] = entered;
  const TSideTime t = TRuleEvaluator(rules, target).Evaluate(side);
  if (!t.HasValue) return "no value " + std::to_string(static_cast<int>(t.Reason));
  return std::to_string((uint64_t{t.Time.dwHighDateTime} << 32) | t.Time.dwLowDateTime);
}
std::string Want(int64_t utc) { return std::to_string(utc); }
std::string Want(TNoValue reason) { return "no value " + std::to_string(static_cast<int>(reason)); }

class TimeRuleTest : public ::testing::Test {
  testsupport::FixedLocalBias FJapan{-9 * testsupport::kHour100ns};  // UTC+9
};

}  // namespace

TEST_F(TimeRuleTest, FixedIsTheEnteredLocalTimeWithinTheDialogsYears) {
  const TRuleTarget none;
  EXPECT_EQ(Eval({}, none, tsUpdate, Local(1980, 1, 1)), Want(FileTimeOf(1979, 12, 31, 15)));
  EXPECT_EQ(Eval({}, none, tsUpdate, Local(1979, 12, 31, 23, 59, 59)), Want(TNoValue::OutOfRange));
  EXPECT_EQ(Eval({}, none, tsUpdate, Local(2100, 12, 31, 23, 59, 59)), Want(FileTimeOf(2100, 12, 31, 14, 59, 59)));
  EXPECT_EQ(Eval({}, none, tsUpdate, Local(2101, 1, 1)), Want(TNoValue::OutOfRange));
}

TEST_F(TimeRuleTest, TakenInItsZoneWithTheOffsetReadOnceAndOnlyWhenAsked) {
  using Z = media::TMediaTime::TZone;
  int reads = 0;
  std::optional<media::TMediaTime> taken = Media(2025, 7, 14, 15);
  TRuleTarget target;
  target.ReadTaken = [&] { return ++reads, taken; };
  const TTimeRule rule{TTimeSource::Taken, 3600};
  // A time in UTC and one with its own zone (+02:00), an hour on (a local one is at the limits below).
  taken = Media(2025, 7, 14, 15, Z::Utc);
  EXPECT_EQ(Eval(rule, target), Want(FileTimeOf(2025, 7, 14, 16, 7, 58)));
  taken = Media(2025, 7, 14, 15, Z::Offset, 120);
  EXPECT_EQ(Eval(rule, target), Want(FileTimeOf(2025, 7, 14, 14, 7, 58)));
  // Both sides from one read; none when only a side without the rule is evaluated.
  reads = 0;
  TTimeRules both;
  both.Rule[tsCreate] = both.Rule[tsUpdate] = {TTimeSource::Taken, 0};
  TRuleEvaluator twice(both, target);
  EXPECT_TRUE(twice.Evaluate(tsCreate).HasValue && twice.Evaluate(tsUpdate).HasValue);
  EXPECT_EQ(reads, 1);
  both.Rule[tsUpdate] = {};
  both.Entered[tsUpdate] = Local(2025, 1, 1);
  EXPECT_TRUE(TRuleEvaluator(both, target).Evaluate(tsUpdate).HasValue);
  EXPECT_EQ(reads, 1);
  // No metadata, and an impossible one.
  taken = std::nullopt;
  EXPECT_EQ(Eval(rule, target), Want(TNoValue::NoMetadata));
  taken = Media(2025, 2, 30, 0);
  EXPECT_EQ(Eval(rule, target), Want(TNoValue::NoMetadata));
  // The offset takes it to the ends of the years and no further.
  taken = Media(2100, 12, 31, 22);  // 22:07:58 local
  EXPECT_EQ(Eval({TTimeSource::Taken, 6721}, target), Want(FileTimeOf(2100, 12, 31, 14, 59, 59)));
  EXPECT_EQ(Eval({TTimeSource::Taken, 6722}, target), Want(TNoValue::OutOfRange));
  taken = Media(1980, 1, 1, 0);
  EXPECT_EQ(Eval({TTimeSource::Taken, -478}, target), Want(FileTimeOf(1979, 12, 31, 15)));
  EXPECT_EQ(Eval({TTimeSource::Taken, -479}, target), Want(TNoValue::OutOfRange));
}

TEST_F(TimeRuleTest, FileNameReadsTheBaseNameOnly) {
  TRuleTarget target;
  target.Path = L"C:\\2020-01-01\\IMG_20250714_150758.jpg";
  EXPECT_EQ(Eval({TTimeSource::FileName, -86400}, target), Want(FileTimeOf(2025, 7, 13, 6, 7, 58)));
  target.Path = L"C:\\2020-01-01\\DSC_0001.jpg";
  EXPECT_EQ(Eval({TTimeSource::FileName, 0}, target), Want(TNoValue::NoNameDate));
}

TEST_F(TimeRuleTest, OtherSideTakesTheTimeBeforeTheRun) {
  TRuleTarget target;
  const int64_t created = FileTimeOf(2024, 3, 1, 1, 2, 3, 456) + 7;  // below a millisecond too
  const int64_t updated = FileTimeOf(2025, 7, 14, 6, 7, 58);
  target.Current[tsCreate] = Ft(created);
  target.Current[tsUpdate] = Ft(updated);
  EXPECT_EQ(Eval({TTimeSource::OtherSide, 0}, target, tsCreate), Want(updated));
  EXPECT_EQ(Eval({TTimeSource::OtherSide, 60}, target, tsUpdate), Want(created + 60 * kSecond));
  // A time never set.
  target.Current[tsUpdate] = Ft(0);
  EXPECT_EQ(Eval({TTimeSource::OtherSide, 0}, target, tsCreate), Want(TNoValue::NoCurrentTime));
}

TEST_F(TimeRuleTest, ShiftMovesTheSidesOwnTimeWithinTheLimits) {
  TRuleTarget target;
  const int64_t updated = FileTimeOf(2025, 7, 14, 6, 7, 58, 123) + 4;
  target.Current[tsUpdate] = Ft(updated);
  EXPECT_EQ(Eval({TTimeSource::Shift, -93784}, target), Want(updated - 93784 * kSecond));
  EXPECT_EQ(Eval({TTimeSource::Shift, 0}, target, tsCreate), Want(TNoValue::NoCurrentTime));
  // The result's years: 2100-12-31 23:59:59 local and one second past it.
  target.Current[tsUpdate] = Ft(FileTimeOf(2100, 12, 31, 14, 59, 58));
  EXPECT_EQ(Eval({TTimeSource::Shift, 1}, target), Want(FileTimeOf(2100, 12, 31, 14, 59, 59)));
  EXPECT_EQ(Eval({TTimeSource::Shift, 2}, target), Want(TNoValue::OutOfRange));
  // An offset beyond its limit, and a time at the end of the file-time range: no value, never a wrap.
  target.Current[tsUpdate] = Ft(FileTimeOf(2050, 1, 1));
  EXPECT_EQ(Eval({TTimeSource::Shift, -kMaxOffsetSeconds - 1}, target), Want(TNoValue::OutOfRange));
  target.Current[tsUpdate] = Ft(INT64_MAX - 5);
  EXPECT_EQ(Eval({TTimeSource::Shift, kMaxOffsetSeconds}, target), Want(TNoValue::OutOfRange));
}

TEST_F(TimeRuleTest, DateOnlyAndTimeOnlyKeepTheFilesOwnLocalPart) {
  TRuleTarget target;
  target.Current[tsCreate] = Ft(FileTimeOf(2024, 3, 1, 14, 30, 15, 250));  // 23:30:15.250 local
  const comm::TDateTime entered = Local(2025, 7, 14, 8, 9, 10);
  EXPECT_EQ(Eval({TTimeSource::DateOnly, 0}, target, tsCreate, entered), Want(FileTimeOf(2025, 7, 14, 14, 30, 15, 250)));
  EXPECT_EQ(Eval({TTimeSource::TimeOnly, 0}, target, tsCreate, entered), Want(FileTimeOf(2024, 2, 29, 23, 9, 10)));
  EXPECT_EQ(Eval({TTimeSource::DateOnly, 0}, target, tsUpdate, entered), Want(TNoValue::NoCurrentTime));
  // The file's own local date decides the year for TimeOnly: 1979-12-31 is outside, 1980-01-01 inside.
  target.Current[tsCreate] = Ft(FileTimeOf(1979, 12, 31, 14, 59, 59));
  EXPECT_EQ(Eval({TTimeSource::TimeOnly, 0}, target, tsCreate, entered), Want(TNoValue::OutOfRange));
  target.Current[tsCreate] = Ft(FileTimeOf(1979, 12, 31, 15));
  EXPECT_EQ(Eval({TTimeSource::TimeOnly, 0}, target, tsCreate, entered), Want(FileTimeOf(1979, 12, 31, 23, 9, 10)));
}

TEST(TimeRuleOffset, ReadInEitherFormWithinItsLimitsAndWrittenBack) {
  const struct {
    const wchar_t* text;
    TOffsetError error;
    int64_t seconds;
  } cases[] = {
      {L"+1:00:00", TOffsetError::None, 3600},
      {L"-2d", TOffsetError::None, -2 * 86400},
      {L"+1d 2:30", TOffsetError::None, 86400 + 9000},
      {L"  3D1:00:05  ", TOffsetError::None, 3 * 86400 + 3605},
      {L"－１日　０２：００", TOffsetError::None, -(86400 + 7200)},
      {L"-36500d", TOffsetError::None, -kMaxOffsetSeconds},
      {L"+876000:00:00", TOffsetError::None, kMaxOffsetSeconds},
      {L"+36500d 0:00:01", TOffsetError::Range, 0},
      {L"+999999999999d", TOffsetError::Range, 0},
      {L"+9999999999999d", TOffsetError::Format, 0},
      {L"5", TOffsetError::Format, 0},
      {L"1:5", TOffsetError::Format, 0},
      {L"1:00:60", TOffsetError::Format, 0},
      {L"1d x", TOffsetError::Format, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.text)));
    int64_t seconds = -12345;
    EXPECT_EQ(ParseOffset(c.text, seconds), c.error);
    EXPECT_EQ(seconds, c.error == TOffsetError::None ? c.seconds : -12345);
    if (c.error == TOffsetError::None) {
      int64_t back = -12345;
      EXPECT_EQ(ParseOffset(FormatOffset(seconds), back), TOffsetError::None);
      EXPECT_EQ(back, seconds);
    }
  }
  EXPECT_EQ(FormatOffset(-kMaxOffsetSeconds + 1), L"-36499日 23:59:59");
  EXPECT_EQ(FormatOffset(0), L"+0:00:00");
}

TEST(TimeRuleText, WordsForTheMainWindow) {
  const comm::TDateTime entered = Local(2025, 7, 14, 15, 7, 58);
  EXPECT_EQ(RuleText({}, tsCreate, entered), L"2025/07/14 15:07:58");
  EXPECT_EQ(RuleText({TTimeSource::Taken, 3600}, tsCreate, entered), L"撮影日時 +1:00:00");
  EXPECT_EQ(RuleText({TTimeSource::OtherSide, -86400}, tsCreate, entered), L"更新日時から -1日");
  EXPECT_EQ(RuleText({TTimeSource::OtherSide, 0}, tsUpdate, entered), L"作成日時から");
  EXPECT_EQ(RuleText({TTimeSource::Shift, 93600}, tsUpdate, entered), L"ずらす +1日 2:00:00");
  EXPECT_EQ(RuleText({TTimeSource::DateOnly, 0}, tsUpdate, entered), L"日付のみ 2025/07/14");
  EXPECT_EQ(RuleText({TTimeSource::TimeOnly, 0}, tsUpdate, entered), L"時刻のみ 15:07:58");
}

TEST(TimeRuleText, SourceNamesReadBack) {
  for (int i = 0; i <= static_cast<int>(TTimeSource::TimeOnly); ++i) {
    const auto source = static_cast<TTimeSource>(i);
    EXPECT_EQ(SourceFromName(SourceName(source)), source);
  }
  EXPECT_EQ(SourceFromName(L"FileName"), TTimeSource::FileName);
  EXPECT_EQ(SourceFromName(L"takenx"), std::nullopt);
  EXPECT_EQ(SourceFromName(L""), std::nullopt);
}
