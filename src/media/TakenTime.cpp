// The taken time of a photo or video: the format told from its first bytes, then its own metadata.
#include "media/TakenTime.h"
#include "media/Exif.h"
#include <algorithm>
#include <cstring>
#include <string>

namespace media {

namespace {

// Segments and chunks walked before a file is taken to state no time: real files have a few dozen.
constexpr int kMaxMarkers = 1024;
constexpr int kMaxChunks = 4096;
// Chunks looked at from the first image data chunk on. Metadata belongs before it, but text chunks are
// still written after it; a big picture has thousands of data chunks, which are not all walked.
constexpr int kMaxChunksAfterData = 32;
// Text chunks read no further than this; a "Creation Time" is a few dozen bytes.
constexpr uint32_t kMaxTextChunk = 256;

uint16_t Be16(const unsigned char* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t Be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint32_t Le32(const unsigned char* p) { return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]; }

// JPEG: the marker segments up to the image data; the first APP1 that holds Exif.
std::optional<TMediaTime> JpegTime(IByteSource& source) {
  const uint64_t size = source.Size();
  uint64_t pos = 2;
  for (int i = 0; i < kMaxMarkers; ++i) {
    unsigned char h[4];
    if (!source.Read(pos, h, 2) || h[0] != 0xFF) return std::nullopt;
    const unsigned char marker = h[1];
    if (marker == 0xFF) {  // a fill byte before the marker
      ++pos;
      continue;
    }
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length follows
      pos += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // the image data, or its end: no Exif before
    if (!source.Read(pos + 2, h + 2, 2)) return std::nullopt;
    const uint16_t length = Be16(h + 2);  // counts itself, not the marker
    if (length < 2 || !Fits(pos + 2, length, size)) return std::nullopt;
    if (marker == 0xE1 && length >= 8 + 6 && ReadBytes(source, pos + 4, 6) == std::string("Exif\0\0", 6)) {
      if (std::optional<TMediaTime> t = ExifTime(source, pos + 10, pos + 2 + length)) return t;
    }
    pos += 2 + length;
  }
  return std::nullopt;
}

// PNG's text chunks: "Creation Time" in tEXt (Latin-1) or an uncompressed iTXt (UTF-8).
std::optional<TMediaTime> PngTextTime(IByteSource& source, uint64_t data, uint32_t length, bool international) {
  static constexpr char kKeyword[] = "Creation Time";
  const std::string text = ReadBytes(source, data, std::min(length, kMaxTextChunk));
  if (text.size() < sizeof kKeyword || text.compare(0, sizeof kKeyword, kKeyword, sizeof kKeyword) != 0) return std::nullopt;
  size_t pos = sizeof kKeyword;  // past the keyword's terminator
  if (international) {
    // compression flag and method, then the language tag and the translated keyword, each ended by a 0
    if (pos + 2 > text.size() || text[pos] != 0) return std::nullopt;
    pos += 2;
    for (int field = 0; field < 2; ++field) {
      pos = text.find('\0', pos);
      if (pos == std::string::npos) return std::nullopt;
      ++pos;
    }
  }
  return ParseTextTime(std::string_view(text).substr(pos));
}

// PNG: the chunks up to the end, or a few past the image data; eXIf wins over a text time.
std::optional<TMediaTime> PngTime(IByteSource& source) {
  const uint64_t size = source.Size();
  std::optional<TMediaTime> text;
  uint64_t pos = 8;
  int left = kMaxChunks;
  for (; left > 0; --left) {
    unsigned char h[8];
    if (!source.Read(pos, h, 8)) break;
    const uint32_t length = Be32(h);
    const uint64_t data = pos + 8;
    if (!Fits(data, uint64_t{length} + 4, size)) break;  // the data and its CRC
    if (std::memcmp(h + 4, "eXIf", 4) == 0) {
      if (std::optional<TMediaTime> t = ExifBlockTime(source, data, data + length)) return t;
    } else if (!text && std::memcmp(h + 4, "tEXt", 4) == 0) {
      text = PngTextTime(source, data, length, false);
    } else if (!text && std::memcmp(h + 4, "iTXt", 4) == 0) {
      text = PngTextTime(source, data, length, true);
    } else if (std::memcmp(h + 4, "IDAT", 4) == 0) {
      left = std::min(left, kMaxChunksAfterData);
    } else if (std::memcmp(h + 4, "IEND", 4) == 0) {
      break;
    }
    pos = data + length + 4;
  }
  return text;
}

// WebP: the RIFF chunks; the one named "EXIF".
std::optional<TMediaTime> WebpTime(IByteSource& source) {
  unsigned char h[8];
  if (!source.Read(4, h, 4)) return std::nullopt;
  // The RIFF's own length bounds its chunks, and the file bounds that.
  const uint64_t end = std::min<uint64_t>(source.Size(), uint64_t{Le32(h)} + 8);
  uint64_t pos = 12;
  for (int i = 0; i < kMaxChunks; ++i) {
    if (!Fits(pos, 8, end) || !source.Read(pos, h, 8)) break;
    const uint32_t length = Le32(h + 4);
    const uint64_t data = pos + 8;
    if (!Fits(data, length, end)) break;
    if (std::memcmp(h, "EXIF", 4) == 0) return ExifBlockTime(source, data, data + length);
    pos = data + length + (length & 1);  // chunks are padded to an even length
  }
  return std::nullopt;
}

bool IsTiff(const unsigned char* h) {
  return (h[0] == 'I' && h[1] == 'I' && ((h[2] == 42 && h[3] == 0) || (h[2] == 'R' && h[3] == 'O') ||
                                         (h[2] == 'S' && h[3] == 'R') || (h[2] == 'U' && h[3] == 0))) ||
         (h[0] == 'M' && h[1] == 'M' && ((h[2] == 0 && h[3] == 42) || (h[2] == 'O' && h[3] == 'R')));
}

bool IsIsoMedia(const unsigned char* h) {
  static constexpr const char* kFirstBoxes[] = {"ftyp", "moov", "mdat", "wide", "free", "skip", "pnot"};
  for (const char* type : kFirstBoxes)
    if (std::memcmp(h + 4, type, 4) == 0) return true;
  return false;
}

}  // namespace

std::optional<TMediaTime> ReadTakenTime(IByteSource& file) {
  TWindowSource source(file);
  unsigned char h[12];
  if (!source.Read(0, h, sizeof h)) return std::nullopt;
  if (h[0] == 0xFF && h[1] == 0xD8) return JpegTime(source);
  if (IsTiff(h)) return ExifTime(source, 0, source.Size());
  if (std::memcmp(h, "\x89PNG\r\n\x1A\n", 8) == 0) return PngTime(source);
  if (std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WEBP", 4) == 0) return WebpTime(source);
  if (IsIsoMedia(h)) return IsoMediaTime(source);
  return std::nullopt;
}

}  // namespace media
