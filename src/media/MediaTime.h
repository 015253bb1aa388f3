// A calendar date-time as a file states it: in its metadata or in its name. Nothing here knows
// Windows; turning it into a file time is the engine's work.
#pragma once
#include <cstdint>
#include <optional>

namespace media {

struct TMediaTime {
  // How the stated time relates to UTC.
  enum class TZone : uint8_t {
    Local,   // a wall-clock time with no zone (Exif without an offset, file names): the local zone
    Utc,     // a UTC time (an MP4 movie header)
    Offset,  // a wall-clock time with its own zone: UTC = wall clock - OffsetMinutes
  };
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  TZone Zone = TZone::Local;
  int OffsetMinutes = 0;  // with Offset only; east of UTC positive (+09:00 is 540)
};

// The years a stated time may have: those the date-time dialog offers. Anything outside (an unset
// camera clock at 1904 or 1970 is left out by the readers themselves) is no value.
inline constexpr int kFirstYear = 1980;
inline constexpr int kLastYear = 2100;

// A real calendar date-time within the years above (30 February, hour 24, second 60 are not).
inline bool IsValid(const TMediaTime& t) {
  if (t.Year < kFirstYear || t.Year > kLastYear || t.Month < 1 || t.Month > 12 || t.Day < 1) return false;
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (t.Year % 4 == 0 && t.Year % 100 != 0) || t.Year % 400 == 0;
  const int days = t.Month == 2 && !leap ? 28 : kDays[t.Month - 1];
  if (t.Day > days) return false;
  if (t.Hour < 0 || t.Hour > 23 || t.Minute < 0 || t.Minute > 59 || t.Second < 0 || t.Second > 59) return false;
  if (t.Zone == TMediaTime::TZone::Offset && (t.OffsetMinutes < -14 * 60 || t.OffsetMinutes > 14 * 60)) return false;
  return true;
}

}  // namespace media
