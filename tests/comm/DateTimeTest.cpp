// The date-time value: day numbers, time fractions, rounding on decode, the range and the days before 1899-12-30.
#include "comm/DateTime.h"
#include <gtest/gtest.h>
#include <cmath>

using comm::TDateTime;
using comm::TDateTimeParts;

namespace {

TDateTime Date(int y, int m, int d) {
  TDateTime v = -1e9;
  EXPECT_TRUE(comm::TryEncodeDate(y, m, d, v)) << y << "-" << m << "-" << d;
  return v;
}

TDateTime At(TDateTimeParts p) {
  TDateTime v = -1e9;
  EXPECT_TRUE(comm::TryEncodeDateTime(p, v));
  return v;
}

TDateTimeParts Decode(TDateTime v) {
  TDateTimeParts p{};
  EXPECT_TRUE(comm::DecodeDateTime(v, p)) << v;
  return p;
}

}  // namespace

TEST(DateTime, DayNumbersCountFrom30December1899) {
  EXPECT_EQ(Date(1899, 12, 30), 0.0);
  EXPECT_EQ(Date(1899, 12, 31), 1.0);
  EXPECT_EQ(Date(1900, 1, 1), 2.0);
  EXPECT_EQ(Date(1899, 12, 29), -1.0);
  EXPECT_EQ(Date(2000, 1, 1), 36526.0);
  EXPECT_EQ(Date(1970, 1, 1), 25569.0);
  EXPECT_EQ(Date(1, 1, 1), comm::kMinDateDay);
  EXPECT_EQ(Date(9999, 12, 31), comm::kMaxDateDay);
}

TEST(DateTime, TimeOfDayIsTheFractionOfTheDay) {
  TDateTime v = -1;
  ASSERT_TRUE(comm::TryEncodeTime(12, 0, 0, 0, v));
  EXPECT_EQ(v, 0.5);
  ASSERT_TRUE(comm::TryEncodeTime(6, 0, 0, 0, v));
  EXPECT_EQ(v, 0.25);
  ASSERT_TRUE(comm::TryEncodeTime(23, 59, 59, 999, v));
  EXPECT_DOUBLE_EQ(v, 86399999.0 / 86400000.0);
  ASSERT_TRUE(comm::TryEncodeTime(0, 0, 0, 0, v));
  EXPECT_EQ(v, 0.0);
}

TEST(DateTime, RefusesPartsOutOfRangeAndLeavesTheValue) {
  TDateTime v = 42;
  EXPECT_FALSE(comm::TryEncodeDate(2023, 2, 29, v));
  EXPECT_FALSE(comm::TryEncodeDate(1900, 2, 29, v));  // not a leap year
  EXPECT_FALSE(comm::TryEncodeDate(0, 1, 1, v));
  EXPECT_FALSE(comm::TryEncodeDate(10000, 1, 1, v));
  EXPECT_FALSE(comm::TryEncodeDate(2024, 13, 1, v));
  EXPECT_FALSE(comm::TryEncodeDate(2024, 0, 1, v));
  EXPECT_FALSE(comm::TryEncodeDate(2024, 4, 31, v));
  EXPECT_FALSE(comm::TryEncodeDate(2024, 4, 0, v));
  EXPECT_FALSE(comm::TryEncodeTime(24, 0, 0, 0, v));
  EXPECT_FALSE(comm::TryEncodeTime(0, 60, 0, 0, v));
  EXPECT_FALSE(comm::TryEncodeTime(0, 0, 60, 0, v));
  EXPECT_FALSE(comm::TryEncodeTime(0, 0, 0, 1000, v));
  EXPECT_FALSE(comm::TryEncodeTime(-1, 0, 0, 0, v));
  EXPECT_FALSE(comm::TryEncodeDateTime({2024, 2, 30, 0, 0, 0, 0}, v));
  EXPECT_FALSE(comm::TryEncodeDateTime({2024, 2, 1, 25, 0, 0, 0}, v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(comm::TryEncodeDate(2024, 2, 29, v));
  EXPECT_TRUE(comm::TryEncodeDate(2000, 2, 29, v));
}

TEST(DateTime, DateTimeIsTheSumOfDateAndTime) {
  EXPECT_EQ(At({2000, 1, 1, 18, 0, 0, 0}), 36526.75);
  EXPECT_EQ(At({1899, 12, 30, 6, 0, 0, 0}), 0.25);
}

TEST(DateTime, BeforeTheEpochTheTimeIsSubtracted) {
  EXPECT_EQ(At({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  EXPECT_EQ(Decode(-1.25), (TDateTimeParts{1899, 12, 29, 6, 0, 0, 0}));
  EXPECT_EQ(Decode(-1.75), (TDateTimeParts{1899, 12, 29, 18, 0, 0, 0}));
  EXPECT_EQ(Decode(-0.25), (TDateTimeParts{1899, 12, 30, 6, 0, 0, 0}));
}

TEST(DateTime, DecodeRoundsToTheNearestMillisecond) {
  const TDateTime noon = At({2020, 5, 6, 12, 0, 0, 0});
  EXPECT_EQ(Decode(noon + 0.4 / comm::kMSecsPerDay), (TDateTimeParts{2020, 5, 6, 12, 0, 0, 0}));
  EXPECT_EQ(Decode(noon + 0.6 / comm::kMSecsPerDay), (TDateTimeParts{2020, 5, 6, 12, 0, 0, 1}));
  // Rounding up at the end of a day carries into the next day.
  const TDateTime late = At({2020, 12, 31, 23, 59, 59, 999});
  EXPECT_EQ(Decode(late + 0.7 / comm::kMSecsPerDay), (TDateTimeParts{2021, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(comm::RoundToMilliseconds(noon + 123.4567 / comm::kMSecsPerDay), At({2020, 5, 6, 12, 0, 0, 123}));
}

TEST(DateTime, DecodeRefusesWhatIsNoDateTime) {
  TDateTimeParts p{1, 2, 3, 4, 5, 6, 7};
  const TDateTimeParts before = p;
  EXPECT_FALSE(comm::DecodeDateTime(std::nan(""), p));
  EXPECT_FALSE(comm::DecodeDateTime(INFINITY, p));
  EXPECT_FALSE(comm::DecodeDateTime(comm::kMaxDateDay + 1.0, p));
  EXPECT_FALSE(comm::DecodeDateTime(comm::kMinDateDay - 1.0, p));
  EXPECT_FALSE(comm::DecodeDateTime(1e300, p));
  EXPECT_EQ(p, before);
  EXPECT_EQ(Decode(comm::kMaxDateDay + 0.5), (TDateTimeParts{9999, 12, 31, 12, 0, 0, 0}));
  EXPECT_EQ(Decode(comm::kMinDateDay - 0.5), (TDateTimeParts{1, 1, 1, 12, 0, 0, 0}));
}

TEST(DateTime, EveryDayOfTheRangeRoundTrips) {
  // Walk the calendar day by day and check that encode and decode agree with it.
  int y = 1, m = 1, d = 1;
  for (int day = comm::kMinDateDay; day <= comm::kMaxDateDay; ++day) {
    TDateTime v;
    ASSERT_TRUE(comm::TryEncodeDate(y, m, d, v));
    ASSERT_EQ(v, day) << y << "-" << m << "-" << d;
    TDateTimeParts p;
    ASSERT_TRUE(comm::DecodeDateTime(v, p));
    ASSERT_EQ(p, (TDateTimeParts{y, m, d, 0, 0, 0, 0}));
    if (++d > comm::DaysInMonth(y, m)) {
      d = 1;
      if (++m > 12) m = 1, ++y;
    }
  }
  EXPECT_EQ(y, 10000);
}

TEST(DateTime, TimesRoundTripOnBothSidesOfTheEpoch) {
  const int years[] = {1, 1601, 1899, 1900, 1980, 2026, 2100, 9999};
  for (int year : years) {
    for (int ms = 0; ms < 86400000; ms += 86400000 / 997) {
      SCOPED_TRACE(testing::Message() << year << " ms " << ms);
      const TDateTimeParts p{year, 12, 29, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
      ASSERT_EQ(Decode(At(p)), p);
    }
  }
}

TEST(DateTime, LeapYearsAndMonthLengths) {
  EXPECT_TRUE(comm::IsLeapYear(2000));
  EXPECT_TRUE(comm::IsLeapYear(2024));
  EXPECT_FALSE(comm::IsLeapYear(1900));
  EXPECT_FALSE(comm::IsLeapYear(2023));
  EXPECT_EQ(comm::DaysInMonth(2024, 2), 29);
  EXPECT_EQ(comm::DaysInMonth(2023, 2), 28);
  EXPECT_EQ(comm::DaysInMonth(2023, 4), 30);
  EXPECT_EQ(comm::DaysInMonth(2023, 12), 31);
  EXPECT_EQ(comm::DaysInMonth(2023, 13), 0);
}
