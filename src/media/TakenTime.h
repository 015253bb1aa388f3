// When a photo or video was taken, as the file's own metadata states it.
#pragma once
#include "media/ByteSource.h"
#include "media/MediaTime.h"
#include <optional>

namespace media {

// The time the picture or movie in source was taken, from the metadata its format keeps:
//   JPEG                 Exif in APP1
//   TIFF and raw files   Exif of IFD0 (DNG, CR2, NEF, ARW, PEF, and ORF and RW2 by their own magic)
//   HEIC, HEIF, AVIF     the Exif item of the file's meta box
//   PNG                  the eXIf chunk, else a tEXt or iTXt "Creation Time"
//   WebP                 the EXIF chunk
//   MP4, MOV, 3GP, M4V   QuickTime's com.apple.quicktime.creationdate with its zone, else the movie
//                        header's creation time (UTC)
// Exif prefers DateTimeOriginal, then DateTimeDigitized, then DateTime; without an offset tag its
// time is Local. nullopt for any other file, for one that states no time, or one whose time is not a
// valid one (zero, an unset clock's 1904 or 1970, month 13: see IsValid). The source is read a few
// times at the places the format points to, never whole; every length and offset read from it is
// checked against its size, so damaged or hostile input gives nullopt or a valid time.
std::optional<TMediaTime> ReadTakenTime(IByteSource& source);

// For the format readers: the taken time of an ISO media file (MP4, MOV, HEIF), whose boxes begin at
// offset 0 of source.
std::optional<TMediaTime> IsoMediaTime(IByteSource& source);

}  // namespace media
