// The taken time of an ISO media file: MP4, MOV, 3GP and M4V movies, and HEIF and AVIF pictures.
#include "media/Exif.h"
#include "media/TakenTime.h"
#include <algorithm>
#include <cstring>
#include <string>

namespace media {

namespace {

// Boxes looked at in one container before it is taken to hold nothing wanted: a movie of many
// tracks has a few dozen at the top level and in its moov.
constexpr int kMaxBoxes = 4096;
// The most read of a box that is parsed in memory (keys, iinf, iloc): real ones are a few kilobytes.
constexpr uint64_t kMaxTable = 1u << 20;
// A date-time string: a few dozen bytes.
constexpr uint64_t kMaxValue = 64;
// Seconds from 1904-01-01 (the movie header's epoch) to 1970-01-01.
constexpr uint64_t kSeconds1904To1970 = 2082844800;

uint32_t Be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

struct TBox {
  char Type[4];
  uint64_t Data = 0;  // the first byte after the header
  uint64_t End = 0;   // one past the box's last byte
  bool Is(const char* type) const { return std::memcmp(Type, type, 4) == 0; }
};

// The header of the box at pos, which must end by limit. A size of 0 runs to limit; 1 means a 64-bit
// size follows the type.
bool ReadBox(IByteSource& source, uint64_t pos, uint64_t limit, TBox& box) {
  unsigned char h[16];
  if (!Fits(pos, 8, limit) || !source.Read(pos, h, 8)) return false;
  std::memcpy(box.Type, h + 4, 4);
  uint64_t size = Be32(h);
  uint64_t header = 8;
  if (size == 1) {
    if (!Fits(pos, 16, limit) || !source.Read(pos + 8, h + 8, 8)) return false;
    size = uint64_t{Be32(h + 8)} << 32 | Be32(h + 12);
    header = 16;
  } else if (size == 0) {
    size = limit - pos;
  }
  if (size < header || !Fits(pos, size, limit)) return false;
  box.Data = pos + header;
  box.End = pos + size;
  return true;
}

// Calls found(box) for each box in [begin, end) until it returns true; true when one did.
template <typename Found>
bool EachBox(IByteSource& source, uint64_t begin, uint64_t end, Found found) {
  uint64_t pos = begin;
  TBox box;
  for (int i = 0; i < kMaxBoxes && pos < end && ReadBox(source, pos, end, box); ++i) {
    if (found(box)) return true;
    pos = box.End;
  }
  return false;
}

// Reads a box's data, no more than kMaxTable of it: a table cut there is parsed as far as it goes.
std::string BoxData(IByteSource& source, const TBox& box) {
  return ReadBytes(source, box.Data, static_cast<size_t>(std::min(box.End - box.Data, kMaxTable)));
}

// Big-endian fields read in order from bytes in memory; every read past the end fails and keeps failing.
class TFields {
 public:
  explicit TFields(std::string_view bytes) : FBytes(bytes) {}
  bool Ok() const { return FOk; }
  size_t Pos() const { return FPos; }
  void Seek(size_t pos) {
    if (pos > FBytes.size()) FOk = false;
    else FPos = pos;
  }
  uint64_t Get(size_t count) {
    if (!FOk || count > FBytes.size() - FPos) {
      FOk = false;
      return 0;
    }
    uint64_t v = 0;
    for (size_t i = 0; i < count; ++i) v = v << 8 | static_cast<unsigned char>(FBytes[FPos + i]);
    FPos += count;
    return v;
  }

 private:
  std::string_view FBytes;
  size_t FPos = 0;
  bool FOk = true;
};

// The calendar date-time of a count of seconds since 1904-01-01 UTC; nullopt for 0 (never set).
std::optional<TMediaTime> MovieHeaderTime(uint64_t seconds) {
  // Far beyond the last year allowed: not converted, so that nothing overflows.
  if (seconds == 0 || seconds > 300ull * 366 * 86400) return std::nullopt;
  const int64_t unixDays = static_cast<int64_t>(seconds / 86400) - static_cast<int64_t>(kSeconds1904To1970 / 86400);
  const int64_t secondOfDay = static_cast<int64_t>(seconds % 86400);
  // Days since 1970-01-01 to a civil date (proleptic Gregorian), by eras of 400 years.
  const int64_t z = unixDays + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  TMediaTime t;
  t.Day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.Year = static_cast<int>(yoe + era * 400 + (t.Month <= 2));
  t.Hour = static_cast<int>(secondOfDay / 3600);
  t.Minute = static_cast<int>(secondOfDay / 60 % 60);
  t.Second = static_cast<int>(secondOfDay % 60);
  t.Zone = TMediaTime::TZone::Utc;
  if (IsValid(t)) return t;
  return std::nullopt;
}

// A meta box's children: after a version and flags in ISO files (all zero), right away in QuickTime's
// moov/meta, whose first four bytes are then the size of its first child.
uint64_t MetaChildren(IByteSource& source, const TBox& meta) {
  unsigned char h[4];
  if (Fits(meta.Data, 4, meta.End) && source.Read(meta.Data, h, 4) && Be32(h) != 0) return meta.Data;
  return meta.Data + 4;
}

// The 1-based index of QuickTime's creation date in a keys box; 0 when it has none.
uint32_t CreationDateKey(IByteSource& source, const TBox& keys) {
  static constexpr std::string_view kKey = "com.apple.quicktime.creationdate";
  const std::string data = BoxData(source, keys);
  TFields f(data);
  f.Get(4);  // version and flags
  const uint64_t count = f.Get(4);
  for (uint64_t i = 1; i <= count && f.Ok(); ++i) {
    const size_t at = f.Pos();
    const uint64_t size = f.Get(4);
    f.Get(4);  // the key's namespace, 'mdta'
    if (!f.Ok() || size < 8 || size > data.size() - at) return 0;
    if (std::string_view(data).substr(at + 8, static_cast<size_t>(size - 8)) == kKey) return static_cast<uint32_t>(i);
    f.Seek(at + static_cast<size_t>(size));
  }
  return 0;
}

// The text of an item list's entry: its 'data' box holds a type, a locale and the value.
std::optional<TMediaTime> ItemTime(IByteSource& source, const TBox& item) {
  std::optional<TMediaTime> time;
  EachBox(source, item.Data, item.End, [&](const TBox& data) {
    if (!data.Is("data") || data.End - data.Data < 8) return false;
    time = ParseTextTime(ReadBytes(source, data.Data + 8, static_cast<size_t>(std::min(data.End - data.Data - 8, kMaxValue))));
    return true;
  });
  return time;
}

// The creation date a moov's metadata states: QuickTime's key, else an item list's "©day".
std::optional<TMediaTime> MovieMetaTime(IByteSource& source, const TBox& meta) {
  TBox keys{}, list{};
  bool haveKeys = false, haveList = false;
  EachBox(source, MetaChildren(source, meta), meta.End, [&](const TBox& b) {
    if (b.Is("keys")) keys = b, haveKeys = true;
    if (b.Is("ilst")) list = b, haveList = true;
    return haveKeys && haveList;
  });
  if (!haveList) return std::nullopt;
  const uint32_t key = haveKeys ? CreationDateKey(source, keys) : 0;
  std::optional<TMediaTime> keyed, day;
  EachBox(source, list.Data, list.End, [&](const TBox& item) {
    if (key && Be32(reinterpret_cast<const unsigned char*>(item.Type)) == key) keyed = ItemTime(source, item);
    else if (!day && item.Is("\xA9" "day")) day = ItemTime(source, item);
    return keyed.has_value();
  });
  return keyed ? keyed : day;
}

// A movie: its metadata's creation date, else the movie header's creation time.
std::optional<TMediaTime> MovieTime(IByteSource& source, const TBox& moov) {
  std::optional<TMediaTime> header, stated;
  EachBox(source, moov.Data, moov.End, [&](const TBox& b) {
    if (b.Is("mvhd")) {
      unsigned char h[12];
      if (Fits(b.Data, 12, b.End) && source.Read(b.Data, h, 12))
        header = MovieHeaderTime(h[0] == 1 ? uint64_t{Be32(h + 4)} << 32 | Be32(h + 8) : Be32(h + 4));
    } else if (b.Is("meta")) {
      if (!stated) stated = MovieMetaTime(source, b);
    } else if (b.Is("udta")) {
      EachBox(source, b.Data, b.End, [&](const TBox& m) {
        if (m.Is("meta") && !stated) stated = MovieMetaTime(source, m);
        return stated.has_value();
      });
    }
    return false;
  });
  return stated ? stated : header;
}

// The ID of the item of type 'Exif' in an iinf box; 0 when there is none.
uint32_t ExifItemId(IByteSource& source, const TBox& iinf) {
  const std::string data = BoxData(source, iinf);
  TFields f(data);
  const uint64_t version = f.Get(1);
  f.Get(3);
  f.Get(version == 0 ? 2 : 4);  // the entry count: the boxes themselves tell where the list ends
  for (int i = 0; i < kMaxBoxes && f.Ok(); ++i) {
    const size_t at = f.Pos();
    const uint64_t size = f.Get(4);
    const uint64_t type = f.Get(4);
    if (!f.Ok() || size < 8 || size > data.size() - at) return 0;
    if (type == 0x696E6665) {  // 'infe'
      const uint64_t infeVersion = f.Get(1);
      f.Get(3);
      if (infeVersion >= 2) {
        const uint64_t id = f.Get(infeVersion == 2 ? 2 : 4);
        f.Get(2);  // protection index
        const uint64_t itemType = f.Get(4);
        if (f.Ok() && f.Pos() <= at + size && itemType == 0x45786966 && id) return static_cast<uint32_t>(id);  // 'Exif'
      }
    }
    f.Seek(at + static_cast<size_t>(size));
  }
  return 0;
}

// Where an item's first extent lies, from an iloc box: construction method 0 (in the file) or 1 (in
// the meta box's idat).
struct TExtent {
  int Method = 0;
  uint64_t Offset = 0, Length = 0;
};

std::optional<TExtent> ItemExtent(IByteSource& source, const TBox& iloc, uint32_t id) {
  const std::string data = BoxData(source, iloc);
  TFields f(data);
  const uint64_t version = f.Get(1);
  f.Get(3);
  const uint64_t sizes = f.Get(2);
  const size_t offsetSize = sizes >> 12, lengthSize = sizes >> 8 & 15, baseSize = sizes >> 4 & 15;
  const size_t indexSize = version >= 1 ? (sizes & 15) : 0;
  if (version > 2 || offsetSize > 8 || lengthSize > 8 || baseSize > 8 || indexSize > 8) return std::nullopt;
  const uint64_t count = f.Get(version < 2 ? 2 : 4);
  for (uint64_t i = 0; i < count && f.Ok(); ++i) {
    const uint64_t itemId = f.Get(version < 2 ? 2 : 4);
    TExtent extent;
    if (version >= 1) extent.Method = static_cast<int>(f.Get(2) & 15);
    f.Get(2);  // data reference index
    const uint64_t base = f.Get(baseSize);
    const uint64_t extents = f.Get(2);
    for (uint64_t e = 0; e < extents && f.Ok(); ++e) {
      f.Get(indexSize);
      const uint64_t offset = f.Get(offsetSize), length = f.Get(lengthSize);
      if (e == 0 && itemId == id && f.Ok()) {
        if (extent.Method > 1 || base > UINT64_MAX - offset) return std::nullopt;
        extent.Offset = base + offset;
        extent.Length = length;
        return extent;
      }
    }
  }
  return std::nullopt;
}

// A HEIF or AVIF picture: the Exif item of its meta box. The item opens with the offset of the TIFF
// header from the item's fifth byte.
std::optional<TMediaTime> PictureTime(IByteSource& source, const TBox& meta) {
  TBox iinf{}, iloc{}, idat{};
  bool haveInfo = false, haveLocation = false, haveData = false;
  EachBox(source, meta.Data + 4, meta.End, [&](const TBox& b) {
    if (b.Is("iinf")) iinf = b, haveInfo = true;
    if (b.Is("iloc")) iloc = b, haveLocation = true;
    if (b.Is("idat")) idat = b, haveData = true;
    return false;
  });
  if (!haveInfo || !haveLocation) return std::nullopt;
  const uint32_t id = ExifItemId(source, iinf);
  if (!id) return std::nullopt;
  const std::optional<TExtent> extent = ItemExtent(source, iloc, id);
  if (!extent) return std::nullopt;
  // Offsets count from the file's start, or from idat's data; a length of 0 runs to the end of either.
  const uint64_t origin = extent->Method == 1 ? (haveData ? idat.Data : UINT64_MAX) : 0;
  const uint64_t limit = extent->Method == 1 ? (haveData ? idat.End : 0) : source.Size();
  if (origin == UINT64_MAX || extent->Offset > limit - origin) return std::nullopt;
  const uint64_t begin = origin + extent->Offset;
  const uint64_t end = extent->Length == 0 ? limit : begin + std::min(extent->Length, limit - begin);
  unsigned char h[4];
  if (!Fits(begin, 4, end) || !source.Read(begin, h, 4)) return std::nullopt;
  const uint64_t tiff = begin + 4 + Be32(h);
  if (tiff >= end) return std::nullopt;
  return ExifBlockTime(source, tiff, end);
}

}  // namespace

std::optional<TMediaTime> IsoMediaTime(IByteSource& source) {
  std::optional<TMediaTime> time;
  EachBox(source, 0, source.Size(), [&](const TBox& b) {
    if (b.Is("moov")) time = MovieTime(source, b);
    else if (b.Is("meta")) time = PictureTime(source, b);
    return time.has_value();
  });
  return time;
}

}  // namespace media
