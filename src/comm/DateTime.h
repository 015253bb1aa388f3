// The date-time value: days since 30 December 1899 with the time of day as the fraction, local time.
#pragma once
#include <cstdint>
#include <string>

namespace comm {

// Integer part: days since 1899-12-30 (negative before it); fraction: the elapsed part of the day.
// Before 1899-12-30 the time of day is subtracted (-1.25 is 29 December 1899, 06:00), so the
// fraction's magnitude is always the time of day. Years 1 to 9999.
using TDateTime = double;

constexpr double kMSecsPerDay = 86400000.0;
constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;
// Day numbers of 0001-01-01 and 9999-12-31.
constexpr int kMinDateDay = -693593;
constexpr int kMaxDateDay = 2958465;

struct TDateTimeParts {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
  bool operator==(const TDateTimeParts&) const = default;
};

bool IsLeapYear(int year);
// Days of the month, or 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Each returns false and leaves value untouched when a part is out of range.
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int milliSecond, TDateTime& value);
bool TryEncodeDateTime(const TDateTimeParts& parts, TDateTime& value);

// Splits a value after rounding it to the nearest whole millisecond. False (parts untouched) for a
// value that is not a number or lies outside years 1 to 9999.
bool DecodeDateTime(TDateTime value, TDateTimeParts& parts);

// The value cut to whole milliseconds as DecodeDateTime sees them, re-encoded; value itself when it
// cannot be decoded.
TDateTime RoundToMilliseconds(TDateTime value);

// "yyyy/mm/dd hh:nn:ss" from the six parts as they are, also when they form no date (so the user
// sees what is stored).
std::wstring FormatDateTimeParts(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                                 unsigned second);

}  // namespace comm
