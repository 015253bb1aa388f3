// Encoding and decoding of the date-time value on the proleptic Gregorian calendar.
#include "comm/DateTime.h"
#include <cwchar>
#include <cmath>

namespace comm {
namespace {

constexpr int64_t kMSecsPerDayInt = 86400000;
// Day number of 1970-01-01, the epoch of the civil-day arithmetic below.
constexpr int64_t kUnixEpochDay = 25569;

// Days since 1970-01-01 of a civil date (H. Hinnant's days_from_civil).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// The civil date of a day count since 1970-01-01 (civil_from_days).
void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
  if (year < kMinYear || year > kMaxYear || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  value = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixEpochDay);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int milliSecond, TDateTime& value) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || milliSecond < 0 ||
      milliSecond >= 1000)
    return false;
  value = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + milliSecond) / kMSecsPerDay;
  return true;
}

bool TryEncodeDateTime(const TDateTimeParts& p, TDateTime& value) {
  TDateTime date, time;
  if (!TryEncodeDate(p.Year, p.Month, p.Day, date) || !TryEncodeTime(p.Hour, p.Minute, p.Second, p.MilliSecond, time))
    return false;
  value = date < 0 ? date - time : date + time;
  return true;
}

bool DecodeDateTime(TDateTime value, TDateTimeParts& parts) {
  if (!std::isfinite(value) || value < kMinDateDay - 1.0 || value > kMaxDateDay + 1.0) return false;
  const int64_t ms = std::llround(value * kMSecsPerDay);
  const int64_t day = ms / kMSecsPerDayInt;  // towards zero: the fraction's magnitude is the time
  int64_t msOfDay = ms % kMSecsPerDayInt;
  if (msOfDay < 0) msOfDay = -msOfDay;
  if (day < kMinDateDay || day > kMaxDateDay) return false;
  TDateTimeParts p;
  CivilFromDays(day - kUnixEpochDay, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(msOfDay / 3600000);
  p.Minute = static_cast<int>(msOfDay / 60000 % 60);
  p.Second = static_cast<int>(msOfDay / 1000 % 60);
  p.MilliSecond = static_cast<int>(msOfDay % 1000);
  parts = p;
  return true;
}

TDateTime RoundToMilliseconds(TDateTime value) {
  TDateTimeParts p;
  TDateTime out;
  if (!DecodeDateTime(value, p) || !TryEncodeDateTime(p, out)) return value;
  return out;
}

namespace {
// value in decimal, at least width digits (zeros before it); a list of targets formats millions.
void AppendNumber(std::wstring& to, unsigned value, int width) {
  wchar_t digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value);
  for (int i = n; i < width; ++i) to += L'0';
  while (n) to += digits[--n];
}
}  // namespace

std::wstring FormatDateTimeParts(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                                 unsigned second) {
  std::wstring text;
  text.reserve(19);
  AppendNumber(text, year, 4);
  text += L'/';
  AppendNumber(text, month, 2);
  text += L'/';
  AppendNumber(text, day, 2);
  text += L' ';
  AppendNumber(text, hour, 2);
  text += L':';
  AppendNumber(text, minute, 2);
  text += L':';
  AppendNumber(text, second, 2);
  return text;
}

}  // namespace comm
