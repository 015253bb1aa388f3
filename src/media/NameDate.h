// The date-time a file's name states, as phones, cameras and apps write it ("IMG_20250714_150758.jpg").
#pragma once
#include "media/MediaTime.h"
#include <optional>
#include <string_view>

namespace media {

// The date-time in a file's name, a local wall-clock time; nullopt when the name states none.
//
// Only the base name counts: what follows the last '\', '/' or ':' (trailing separators dropped), without
// its extension. The extension is a final '.' and one or more ASCII letters and digits with at least one
// letter (".jpg", ".3gp"); a final part of digits only stays, since it may be the seconds of "15.07.58".
//
// A date starts at a digit that no digit precedes and is one of:
//   - a run of exactly 8 digits, yyyymmdd;
//   - a run of 14 to 17 digits, yyyymmddhhmmss and up to 3 digits of milliseconds (ignored);
//   - yyyy S mm S dd with S one of '-', '_', '.' (the same twice), each part exactly that many digits and
//     the day followed by no digit.
// After a date of 8 digits or with separators, a time is looked for behind one of '_', '-', ' ', '.', 'T'
// when a digit follows it. The digit run there decides:
//   - 6 to 9 digits: hhmmss and up to 3 digits of milliseconds (ignored); it must be a valid time;
//   - 2 digits and one of '-', '.', ':', '_': hh S mm S ss (the same S, two digits each, then no digit);
//     a time begun this way must be complete and valid;
//   - 10 digits or more: no time can be told from it, and the date does not stand either;
//   - otherwise (a counter such as "_1", "-0001", "(2)"), or no digit there: the date alone, 00:00:00.
// The date-time must exist (no month 13, 30 February or hour 25) within the years kFirstYear..kLastYear.
// A candidate that fails does not end the search: the first one that succeeds, left to right, counts.
std::optional<TMediaTime> DateFromFileName(std::wstring_view name);

}  // namespace media
