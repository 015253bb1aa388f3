// The taken time that Exif states (a TIFF structure of tags), and date-times written as text.
#pragma once
#include "media/ByteSource.h"
#include "media/MediaTime.h"
#include <optional>
#include <string_view>

namespace media {

// The time a TIFF structure states the picture was taken. Its header lies at start and nothing of it
// lies at or beyond end; its offsets count from start. DateTimeOriginal is taken, else
// DateTimeDigitized, else DateTime (the first of them that is a valid time), each with its own offset
// tag (OffsetTimeOriginal, …) when that holds a zone. IFD0 and the Exif IFD it points to are read,
// nothing else; every count and offset is checked against [start, end).
std::optional<TMediaTime> ExifTime(IByteSource& source, uint64_t start, uint64_t end);

// The same for an Exif block that may open with "Exif\0\0" before its TIFF header, as APP1 of a JPEG
// does and some writers of PNG and WebP do too.
std::optional<TMediaTime> ExifBlockTime(IByteSource& source, uint64_t start, uint64_t end);

// A date-time written as text, in the forms metadata writers use: "2025:07:14 15:07:58" (Exif),
// "2025-07-14T15:07:58", with a fraction of a second, "Z" or an offset ("+09:00", "+0900", "+09"),
// and "Mon, 14 Jul 2025 15:07:58 +0900" or "14 Jul 2025 15:07:58 GMT" (mail and web). No zone is
// Local, "Z", "UTC" and "GMT" are Utc, an offset is Offset. Only a valid time (IsValid) is returned.
std::optional<TMediaTime> ParseTextTime(std::string_view text);

// A zone offset as Exif's OffsetTime tags write it ("+09:00", "-05:30"; "+0900" too) in minutes east
// of UTC; nullopt for a blank or malformed one.
std::optional<int> ParseZoneOffset(std::string_view text);

}  // namespace media
