// Exif's date tags read from a TIFF structure, and date-times written as text.
#include "media/Exif.h"
#include <algorithm>
#include <cstring>
#include <string>

namespace media {

namespace {

constexpr uint16_t kTagDateTime = 0x0132;
constexpr uint16_t kTagExifIfd = 0x8769;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagDateTimeDigitized = 0x9004;
constexpr uint16_t kTagOffsetTime = 0x9010;
constexpr uint16_t kTagOffsetTimeOriginal = 0x9011;
constexpr uint16_t kTagOffsetTimeDigitized = 0x9012;
constexpr uint16_t kTypeAscii = 2;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeIfd = 13;
// An IFD holds a few dozen entries; more than this is damage, and the rest are not read.
constexpr uint32_t kMaxEntries = 1024;
// The longest text value read: a date-time is 20 bytes with its terminator.
constexpr uint32_t kMaxText = 64;

// The text of the tags looked for, in the order they are preferred: a time and its offset.
enum TSlot { sOriginal, sDigitized, sDateTime, sOffsetOriginal, sOffsetDigitized, sOffset, sCount };

int SlotOf(uint16_t tag) {
  switch (tag) {
    case kTagDateTimeOriginal: return sOriginal;
    case kTagDateTimeDigitized: return sDigitized;
    case kTagDateTime: return sDateTime;
    case kTagOffsetTimeOriginal: return sOffsetOriginal;
    case kTagOffsetTimeDigitized: return sOffsetDigitized;
    case kTagOffsetTime: return sOffset;
    default: return -1;
  }
}

class TTiffReader {
 public:
  TTiffReader(IByteSource& source, uint64_t start, uint64_t end) : FSource(source), FStart(start), FLength(end - start) {}

  // Reads the header; false when it is no TIFF header. The first IFD's offset goes to ifd0.
  bool Header(uint32_t& ifd0) {
    unsigned char h[8];
    if (!Get(0, h, 8)) return false;
    if (h[0] == 'I' && h[1] == 'I') FBig = false;
    else if (h[0] == 'M' && h[1] == 'M') FBig = true;
    else return false;
    // 42 for TIFF and the raw formats built on it; Olympus writes "RO" or "SR", Panasonic 0x55.
    const uint16_t magic = U16(h + 2);
    if (magic != 42 && magic != 0x4F52 && magic != 0x5352 && magic != 0x55) return false;
    ifd0 = U32(h + 4);
    return true;
  }

  // Reads the tags wanted from the IFD at offset; an Exif IFD pointer found goes to exifIfd.
  void Ifd(uint32_t offset, std::string (&slots)[sCount], uint32_t& exifIfd) {
    unsigned char c[2];
    if (!Get(offset, c, 2)) return;
    uint64_t count = std::min<uint32_t>(U16(c), kMaxEntries);
    const uint64_t first = uint64_t{offset} + 2;
    count = std::min<uint64_t>(count, first <= FLength ? (FLength - first) / 12 : 0);  // a cut-off IFD: what is there
    std::string entries(static_cast<size_t>(count * 12), '\0');
    if (!Get(first, entries.data(), entries.size())) return;
    for (uint64_t i = 0; i < count; ++i) {
      const auto* e = reinterpret_cast<const unsigned char*>(entries.data()) + i * 12;
      const uint16_t tag = U16(e), type = U16(e + 2);
      const uint32_t n = U32(e + 4);
      if (tag == kTagExifIfd && (type == kTypeLong || type == kTypeIfd) && n == 1) {
        exifIfd = U32(e + 8);
        continue;
      }
      const int slot = SlotOf(tag);
      if (slot < 0 || type != kTypeAscii || n == 0 || !slots[slot].empty()) continue;
      const uint32_t length = std::min(n, kMaxText);
      std::string text(length, '\0');
      if (n <= 4) std::memcpy(text.data(), e + 8, length);
      else if (!Get(U32(e + 8), text.data(), length)) continue;
      text.resize(std::strlen(text.c_str()));
      slots[slot] = text;
    }
  }

 private:
  bool Get(uint64_t offset, void* out, size_t count) {
    return Fits(offset, count, FLength) && FSource.Read(FStart + offset, out, count);
  }
  uint16_t U16(const unsigned char* p) const { return FBig ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]); }
  uint32_t U32(const unsigned char* p) const {
    return FBig ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }

  IByteSource& FSource;
  uint64_t FStart, FLength;
  bool FBig = false;
};

// Reads digits [pos, pos + count) as a number; false when any is no digit or the text is too short.
bool Digits(std::string_view s, size_t& pos, size_t count, int& value) {
  if (pos + count > s.size()) return false;
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = s[pos + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return true;
}

bool Take(std::string_view s, size_t& pos, std::string_view chars) {
  if (pos < s.size() && chars.find(s[pos]) != std::string_view::npos) {
    ++pos;
    return true;
  }
  return false;
}

void SkipSpaces(std::string_view s, size_t& pos) {
  while (pos < s.size() && s[pos] == ' ') ++pos;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\0' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

// "HH:MM[:SS][.fraction]" at pos.
bool ClockTime(std::string_view s, size_t& pos, TMediaTime& t) {
  if (!Digits(s, pos, 2, t.Hour) || !Take(s, pos, ":") || !Digits(s, pos, 2, t.Minute)) return false;
  t.Second = 0;
  if (Take(s, pos, ":") && !Digits(s, pos, 2, t.Second)) return false;
  if (Take(s, pos, ".,"))
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
  return true;
}

// The zone after a time, up to the end of the text: none, "Z", "UTC", "GMT", "UT" or an offset.
bool Zone(std::string_view s, size_t pos, TMediaTime& t) {
  SkipSpaces(s, pos);
  const std::string_view rest = s.substr(pos);
  if (rest.empty()) {
    t.Zone = TMediaTime::TZone::Local;
    return true;
  }
  if (rest == "Z" || rest == "UTC" || rest == "GMT" || rest == "UT") {
    t.Zone = TMediaTime::TZone::Utc;
    return true;
  }
  const std::optional<int> offset = ParseZoneOffset(rest);
  if (!offset) return false;
  t.Zone = TMediaTime::TZone::Offset;
  t.OffsetMinutes = *offset;
  return true;
}

std::optional<TMediaTime> Valid(const TMediaTime& t) {
  if (IsValid(t)) return t;
  return std::nullopt;
}

// "YYYY:MM:DD HH:MM:SS" and its ISO 8601 relatives.
std::optional<TMediaTime> NumericTime(std::string_view s) {
  TMediaTime t;
  size_t pos = 0;
  if (!Digits(s, pos, 4, t.Year) || !Take(s, pos, ":-/.") || !Digits(s, pos, 2, t.Month) || !Take(s, pos, ":-/.") ||
      !Digits(s, pos, 2, t.Day) || !Take(s, pos, " T") || !ClockTime(s, pos, t) || !Zone(s, pos, t))
    return std::nullopt;
  return Valid(t);
}

// "[Www, ]D Mon YYYY HH:MM[:SS] zone" as mail and the web write it.
std::optional<TMediaTime> MailTime(std::string_view s) {
  static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  size_t pos = 0;
  if (const size_t comma = s.find(','); comma != std::string_view::npos && comma <= 9) pos = comma + 1;
  SkipSpaces(s, pos);
  TMediaTime t;
  if (!Digits(s, pos, 2, t.Day)) {
    if (!Digits(s, pos, 1, t.Day)) return std::nullopt;
  }
  if (!Take(s, pos, " -")) return std::nullopt;
  if (pos + 3 > s.size()) return std::nullopt;
  const std::string_view month = s.substr(pos, 3);
  for (int m = 0; m < 12; ++m)
    if (month == kMonths[m]) t.Month = m + 1;
  pos += 3;
  if (t.Month == 0 || !Take(s, pos, " -") || !Digits(s, pos, 4, t.Year) || !Take(s, pos, " ") || !ClockTime(s, pos, t) ||
      !Zone(s, pos, t))
    return std::nullopt;
  return Valid(t);
}

}  // namespace

std::optional<int> ParseZoneOffset(std::string_view text) {
  const std::string_view s = Trim(text);
  size_t pos = 0;
  if (s.empty() || (s[0] != '+' && s[0] != '-')) return std::nullopt;
  const int sign = s[0] == '-' ? -1 : 1;
  ++pos;
  int hours = 0, minutes = 0;
  if (!Digits(s, pos, 2, hours)) return std::nullopt;
  if (pos < s.size()) {
    Take(s, pos, ":");
    if (!Digits(s, pos, 2, minutes) || pos != s.size()) return std::nullopt;
  }
  if (hours > 14 || minutes > 59) return std::nullopt;
  return sign * (hours * 60 + minutes);
}

std::optional<TMediaTime> ParseTextTime(std::string_view text) {
  const std::string_view s = Trim(text);
  if (std::optional<TMediaTime> t = NumericTime(s)) return t;
  return MailTime(s);
}

std::optional<TMediaTime> ExifTime(IByteSource& source, uint64_t start, uint64_t end) {
  if (end > source.Size() || start >= end) return std::nullopt;
  TTiffReader tiff(source, start, end);
  uint32_t ifd0 = 0;
  if (!tiff.Header(ifd0)) return std::nullopt;
  std::string slots[sCount];
  uint32_t exifIfd = 0;
  tiff.Ifd(ifd0, slots, exifIfd);
  // The one IFD that IFD0 points to, and no further: a pointer back to IFD0 reads it once more at most.
  uint32_t ignored = 0;
  if (exifIfd) tiff.Ifd(exifIfd, slots, ignored);
  for (int i = sOriginal; i <= sDateTime; ++i) {
    std::optional<TMediaTime> t = ParseTextTime(slots[i]);
    if (!t) continue;
    if (t->Zone == TMediaTime::TZone::Local) {
      if (const std::optional<int> offset = ParseZoneOffset(slots[sOffsetOriginal + i])) {
        t->Zone = TMediaTime::TZone::Offset;
        t->OffsetMinutes = *offset;
      }
    }
    return t;
  }
  return std::nullopt;
}

std::optional<TMediaTime> ExifBlockTime(IByteSource& source, uint64_t start, uint64_t end) {
  if (end > source.Size() || start >= end) return std::nullopt;
  if (ReadBytes(source, start, std::min<uint64_t>(6, end - start)) == std::string("Exif\0\0", 6)) start += 6;
  return ExifTime(source, start, end);
}

}  // namespace media
