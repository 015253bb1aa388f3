// The per-side time rules: each source evaluated for one target at the limits of its range, the taken
// time read once, the offset as text and the rule's words.
#include "engine/TimeRule.h"
#include "support/FixedClock.h"
#include "support/RawFileTime.h"
#include <gtest/gtest.h>

using namespace engine;
using testsupport::FileTimeOf;
using testsupport::kHour100ns;

namespace {

constexpr int64_t kSecond = 10000000;

FILETIME Ft(int64_t v) { return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(static_cast<uint64_t>(v) >> 32)}; }
int64_t Int(const FILETIME& ft) { return static_cast<int64_t>((uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime); }

comm::TDateTime Local(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  comm::TDateTime v = 0;
  EXPECT_TRUE(comm::TryEncodeDateTime({y, mo, d, h, mi, s, 0}, v));
  return v;
}

media::TMediaTime Media(int y, int mo, int d, int h, int mi, int s,
                        media::TMediaTime::TZone zone = media::TMediaTime::TZone::Local, int offsetMinutes = 0) {
  media::TMediaTime t;
  t.Year = y, t.Month = mo, t.Day = d, t.Hour = h, t.Minute = mi, t.Second = s;
  t.Zone = zone;
  t.OffsetMinutes = offsetMinutes;
  return t;
}

// One side of one target under a rule; the other side Fixed.
TSideTime Eval(TTimeRule rule, const TRuleTarget& target, TTimeSide side = tsUpdate, comm::TDateTime entered = 0) {
  TTimeRules rules;
  rules.Rule[side] = rule;
  rules.Entered[side] = entered;
  return TRuleEvaluator(rules, target).Evaluate(side);
}

// The UTC time written, or the reason for none, as one comparable value.
std::string Got(const TSideTime& t) {
  if (!t.HasValue) return "no value " + std::to_string(static_cast<int>(t.Reason));
  return std::to_string(Int(t.Time));
}
std::string Want(int64_t utc) { return std::to_string(utc); }
std::string Want(TNoValue reason) { return "no value " + std::to_string(static_cast<int>(reason)); }

class TimeRuleTest : public ::testing::Test {
 protected:
  testsupport::FixedLocalBias FJapan{-9 * kHour100ns};  // UTC+9
};

}  // namespace

TEST_F(TimeRuleTest, FixedIsTheEnteredLocalTimeWithinTheDialogsYears) {
  const TRuleTarget none;
  EXPECT_EQ(Got(Eval({}, none, tsCreate, Local(2025, 7, 14, 15, 7, 58))), Want(FileTimeOf(2025, 7, 14, 6, 7, 58)));
  EXPECT_EQ(Got(Eval({}, none, tsUpdate, Local(1980, 1, 1))), Want(FileTimeOf(1979, 12, 31, 15)));
  EXPECT_EQ(Got(Eval({}, none, tsUpdate, Local(1979, 12, 31, 23, 59, 59))), Want(TNoValue::OutOfRange));
  EXPECT_EQ(Got(Eval({}, none, tsUpdate, Local(2100, 12, 31, 23, 59, 59))), Want(FileTimeOf(2100, 12, 31, 14, 59, 59)));
  EXPECT_EQ(Got(Eval({}, none, tsUpdate, Local(2101, 1, 1))), Want(TNoValue::OutOfRange));
}

TEST_F(TimeRuleTest, TakenInItsZoneWithTheOffsetReadOnceAndOnlyWhenAsked) {
  using Z = media::TMediaTime::TZone;
  int reads = 0;
  std::optional<media::TMediaTime> taken = Media(2025, 7, 14, 15, 7, 58);
  TRuleTarget target;
  target.ReadTaken = [&] {
    ++reads;
    return taken;
  };
  const TTimeRule rule{TTimeSource::Taken, 3600};
  // A wall-clock time in the local zone, one in UTC, one with its own zone (+02:00).
  EXPECT_EQ(Got(Eval(rule, target)), Want(FileTimeOf(2025, 7, 14, 7, 7, 58)));
  taken = Media(2025, 7, 14, 15, 7, 58, Z::Utc);
  EXPECT_EQ(Got(Eval(rule, target)), Want(FileTimeOf(2025, 7, 14, 16, 7, 58)));
  taken = Media(2025, 7, 14, 15, 7, 58, Z::Offset, 120);
  EXPECT_EQ(Got(Eval(rule, target)), Want(FileTimeOf(2025, 7, 14, 14, 7, 58)));
  // Both sides from one read; none when no side asks.
  reads = 0;
  TTimeRules both;
  both.Rule[tsCreate] = both.Rule[tsUpdate] = {TTimeSource::Taken, 0};
  TRuleEvaluator twice(both, target);
  EXPECT_EQ(Got(twice.Evaluate(tsCreate)), Got(twice.Evaluate(tsUpdate)));
  EXPECT_EQ(reads, 1);
  TTimeRules other;
  other.Rule[tsCreate] = {TTimeSource::Taken, 0};
  other.Entered[tsUpdate] = Local(2025, 1, 1);
  EXPECT_TRUE(TRuleEvaluator(other, target).Evaluate(tsUpdate).HasValue);
  EXPECT_EQ(reads, 1);
  // No metadata, an impossible one, no reader.
  taken = std::nullopt;
  EXPECT_EQ(Got(Eval(rule, target)), Want(TNoValue::NoMetadata));
  taken = Media(2025, 2, 30, 0, 0, 0);
  EXPECT_EQ(Got(Eval(rule, target)), Want(TNoValue::NoMetadata));
  EXPECT_EQ(Got(Eval(rule, TRuleTarget{})), Want(TNoValue::NoMetadata));
  // The offset moves it to the ends of the years and no further.
  taken = Media(2100, 12, 31, 22, 59, 59);
  EXPECT_TRUE(Eval({TTimeSource::Taken, 3600}, target).HasValue);
  EXPECT_EQ(Got(Eval({TTimeSource::Taken, 3601}, target)), Want(TNoValue::OutOfRange));
  taken = Media(1980, 1, 1, 1, 0, 0);
  EXPECT_EQ(Got(Eval({TTimeSource::Taken, -3600}, target)), Want(FileTimeOf(1979, 12, 31, 15)));
  EXPECT_EQ(Got(Eval({TTimeSource::Taken, -3601}, target)), Want(TNoValue::OutOfRange));
}

TEST_F(TimeRuleTest, FileNameReadsTheBaseNameOnly) {
  TRuleTarget target;
  target.Path = L"C:\\2020-01-01\\IMG_20250714_150758.jpg";
  EXPECT_EQ(Got(Eval({TTimeSource::FileName, 0}, target)), Want(FileTimeOf(2025, 7, 14, 6, 7, 58)));
  EXPECT_EQ(Got(Eval({TTimeSource::FileName, -86400}, target)), Want(FileTimeOf(2025, 7, 13, 6, 7, 58)));
  target.Path = L"C:\\2020-01-01\\DSC_0001.jpg";
  EXPECT_EQ(Got(Eval({TTimeSource::FileName, 0}, target)), Want(TNoValue::NoNameDate));
  target.Path = L"C:\\写真\\IMG_19800101_000000.jpg";
  EXPECT_TRUE(Eval({TTimeSource::FileName, 0}, target).HasValue);
  EXPECT_EQ(Got(Eval({TTimeSource::FileName, -1}, target)), Want(TNoValue::OutOfRange));
}

TEST_F(TimeRuleTest, OtherSideTakesTheTimeBeforeTheRun) {
  TRuleTarget target;
  const int64_t created = FileTimeOf(2024, 3, 1, 1, 2, 3, 456) + 7;  // below a millisecond too
  const int64_t updated = FileTimeOf(2025, 7, 14, 6, 7, 58);
  target.Current[tsCreate] = Ft(created);
  target.Current[tsUpdate] = Ft(updated);
  TTimeRules swap;
  swap.Rule[tsCreate] = {TTimeSource::OtherSide, 0};
  swap.Rule[tsUpdate] = {TTimeSource::OtherSide, 60};
  TRuleEvaluator e(swap, target);
  EXPECT_EQ(Got(e.Evaluate(tsCreate)), Want(updated));
  EXPECT_EQ(Got(e.Evaluate(tsUpdate)), Want(created + 60 * kSecond));
  // A time not read, or never set.
  target.Current[tsUpdate] = std::nullopt;
  EXPECT_EQ(Got(Eval({TTimeSource::OtherSide, 0}, target, tsCreate)), Want(TNoValue::NoCurrentTime));
  target.Current[tsUpdate] = Ft(0);
  EXPECT_EQ(Got(Eval({TTimeSource::OtherSide, 0}, target, tsCreate)), Want(TNoValue::NoCurrentTime));
}

TEST_F(TimeRuleTest, ShiftMovesTheSidesOwnTimeWithinTheLimits) {
  TRuleTarget target;
  const int64_t updated = FileTimeOf(2025, 7, 14, 6, 7, 58, 123) + 4;
  target.Current[tsUpdate] = Ft(updated);
  EXPECT_EQ(Got(Eval({TTimeSource::Shift, 93784}, target)), Want(updated + 93784 * kSecond));
  EXPECT_EQ(Got(Eval({TTimeSource::Shift, -3600}, target)), Want(updated - 3600 * kSecond));
  EXPECT_EQ(Got(Eval({TTimeSource::Shift, 0}, target, tsCreate)), Want(TNoValue::NoCurrentTime));
  // The result's years: 2100-12-31 23:59:59 local and one second past it.
  target.Current[tsUpdate] = Ft(FileTimeOf(2100, 12, 31, 14, 59, 58));
  EXPECT_TRUE(Eval({TTimeSource::Shift, 1}, target).HasValue);
  EXPECT_EQ(Got(Eval({TTimeSource::Shift, 2}, target)), Want(TNoValue::OutOfRange));
  // The offset's own limits, and a time at the end of the file-time range that must not wrap.
  target.Current[tsUpdate] = Ft(FileTimeOf(2050, 1, 1));
  EXPECT_TRUE(Eval({TTimeSource::Shift, -kMaxOffsetSeconds / 2}, target).HasValue);
  EXPECT_EQ(Got(Eval({TTimeSource::Shift, kMaxOffsetSeconds + 1}, target)), Want(TNoValue::OutOfRange));
  EXPECT_EQ(Got(Eval({TTimeSource::Shift, -kMaxOffsetSeconds - 1}, target)), Want(TNoValue::OutOfRange));
  target.Current[tsUpdate] = Ft(INT64_MAX - 5);
  EXPECT_EQ(Got(Eval({TTimeSource::Shift, kMaxOffsetSeconds}, target)), Want(TNoValue::OutOfRange));
}

TEST_F(TimeRuleTest, DateOnlyAndTimeOnlyKeepTheFilesOwnLocalPart) {
  TRuleTarget target;
  // 2024-03-01 23:30:15.250 local: in UTC, still the day before.
  target.Current[tsCreate] = Ft(FileTimeOf(2024, 3, 1, 14, 30, 15, 250));
  const comm::TDateTime entered = Local(2025, 7, 14, 8, 9, 10);
  EXPECT_EQ(Got(Eval({TTimeSource::DateOnly, 0}, target, tsCreate, entered)),
            Want(FileTimeOf(2025, 7, 14, 14, 30, 15, 250)));
  EXPECT_EQ(Got(Eval({TTimeSource::TimeOnly, 0}, target, tsCreate, entered)), Want(FileTimeOf(2024, 2, 29, 23, 9, 10)));
  EXPECT_EQ(Got(Eval({TTimeSource::DateOnly, 0}, target, tsUpdate, entered)), Want(TNoValue::NoCurrentTime));
  EXPECT_EQ(Got(Eval({TTimeSource::TimeOnly, 0}, target, tsUpdate, entered)), Want(TNoValue::NoCurrentTime));
  // The file's own date decides the year for TimeOnly: 1979 is outside, 1980 inside.
  target.Current[tsCreate] = Ft(FileTimeOf(1979, 12, 31, 14));  // 23:00 local
  EXPECT_EQ(Got(Eval({TTimeSource::TimeOnly, 0}, target, tsCreate, entered)), Want(TNoValue::OutOfRange));
  target.Current[tsCreate] = Ft(FileTimeOf(1979, 12, 31, 15));  // 1980-01-01 00:00 local
  EXPECT_EQ(Got(Eval({TTimeSource::TimeOnly, 0}, target, tsCreate, entered)), Want(FileTimeOf(1979, 12, 31, 23, 9, 10)));
}

TEST(TimeRuleOffset, ParsedFromEitherFormAndItsLimits) {
  const struct {
    const wchar_t* text;
    TOffsetError error;
    int64_t seconds;
  } cases[] = {
      {L"+1:00:00", TOffsetError::None, 3600},
      {L"-2d", TOffsetError::None, -2 * 86400},
      {L"+1d 2:30", TOffsetError::None, 86400 + 2 * 3600 + 30 * 60},
      {L"+1日 2:30:05", TOffsetError::None, 86400 + 2 * 3600 + 30 * 60 + 5},
      {L"  3D1:00  ", TOffsetError::None, 3 * 86400 + 3600},
      {L"－１日　０２：００", TOffsetError::None, -(86400 + 2 * 3600)},
      {L"36:00", TOffsetError::None, 36 * 3600},
      {L"-0:00:00", TOffsetError::None, 0},
      {L"+36500d", TOffsetError::None, kMaxOffsetSeconds},
      {L"-36500d", TOffsetError::None, -kMaxOffsetSeconds},
      {L"+876000:00:00", TOffsetError::None, kMaxOffsetSeconds},
      {L"+36500d 0:00:01", TOffsetError::Range, 0},
      {L"-36501d", TOffsetError::Range, 0},
      {L"+876000:00:01", TOffsetError::Range, 0},
      {L"+999999999999d", TOffsetError::Range, 0},
      {L"+9999999999999d", TOffsetError::Format, 0},  // more digits than any offset
      {L"", TOffsetError::Format, 0},
      {L"+", TOffsetError::Format, 0},
      {L"5", TOffsetError::Format, 0},
      {L"1:5", TOffsetError::Format, 0},
      {L"1:60", TOffsetError::Format, 0},
      {L"1:00:60", TOffsetError::Format, 0},
      {L"1:00:00:00", TOffsetError::Format, 0},
      {L"+ 1d", TOffsetError::Format, 0},
      {L"1d x", TOffsetError::Format, 0},
      {L"1h", TOffsetError::Format, 0},
      {L"--1d", TOffsetError::Format, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(c.text)));
    int64_t seconds = -12345;
    EXPECT_EQ(ParseOffset(c.text, seconds), c.error);
    EXPECT_EQ(seconds, c.error == TOffsetError::None ? c.seconds : -12345);
  }
  EXPECT_NE(OffsetErrorText(TOffsetError::Format), OffsetErrorText(TOffsetError::Range));
}

TEST(TimeRuleOffset, FormattedAndReadBack) {
  const std::pair<int64_t, const wchar_t*> cases[] = {
      {3600, L"+1:00:00"}, {-2 * 86400, L"-2日"}, {86400 + 9000, L"+1日 2:30:00"}, {0, L"+0:00:00"},
      {-59, L"-0:00:59"}, {kMaxOffsetSeconds, L"+36500日"}, {-kMaxOffsetSeconds + 1, L"-36499日 23:59:59"},
  };
  for (const auto& [seconds, text] : cases) {
    EXPECT_EQ(FormatOffset(seconds), text);
    int64_t back = 0;
    EXPECT_EQ(ParseOffset(FormatOffset(seconds), back), TOffsetError::None);
    EXPECT_EQ(back, seconds);
  }
}

TEST(TimeRuleText, WordsForTheMainWindow) {
  const comm::TDateTime entered = Local(2025, 7, 14, 15, 7, 58);
  EXPECT_EQ(RuleText({}, tsCreate, entered), L"2025/07/14 15:07:58");
  EXPECT_EQ(RuleText({TTimeSource::Taken, 3600}, tsCreate, entered), L"撮影日時 +1:00:00");
  EXPECT_EQ(RuleText({TTimeSource::Taken, 0}, tsCreate, entered), L"撮影日時");
  EXPECT_EQ(RuleText({TTimeSource::FileName, -86400}, tsUpdate, entered), L"ファイル名の日時 -1日");
  EXPECT_EQ(RuleText({TTimeSource::OtherSide, 0}, tsCreate, entered), L"更新日時から");
  EXPECT_EQ(RuleText({TTimeSource::OtherSide, 0}, tsUpdate, entered), L"作成日時から");
  EXPECT_EQ(RuleText({TTimeSource::Shift, 0}, tsUpdate, entered), L"ずらす +0:00:00");
  EXPECT_EQ(RuleText({TTimeSource::Shift, 93600, }, tsUpdate, entered), L"ずらす +1日 2:00:00");
  EXPECT_EQ(RuleText({TTimeSource::DateOnly, 0}, tsUpdate, entered), L"日付のみ 2025/07/14");
  EXPECT_EQ(RuleText({TTimeSource::TimeOnly, 0}, tsUpdate, entered), L"時刻のみ 15:07:58");
}
