// The date-time in a file's name: the forms phones, cameras and apps write, and the near misses.
#include "media/NameDate.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct Case {
  const wchar_t* name;
  int y, mo, d, h, mi, s;  // y == 0: no value
};

std::wstring Shown(const std::optional<media::TMediaTime>& t) {
  if (!t) return L"none";
  wchar_t buf[40];
  swprintf(buf, 40, L"%04d-%02d-%02d %02d:%02d:%02d", t->Year, t->Month, t->Day, t->Hour, t->Minute, t->Second);
  return buf;
}

}  // namespace

TEST(NameDate, FormsAndNearMisses) {
  const Case cases[] = {
      // The forms as they are written, with and without an extension and a folder.
      {L"20250714_150758.jpg", 2025, 7, 14, 15, 7, 58},
      {L"IMG_20250714_150758.jpg", 2025, 7, 14, 15, 7, 58},
      {L"IMG_20250714_150758123.jpg", 2025, 7, 14, 15, 7, 58},
      {L"PXL_20250714_150758123.MP.jpg", 2025, 7, 14, 15, 7, 58},
      {L"VID_20250714_150758.3gp", 2025, 7, 14, 15, 7, 58},
      {L"Screenshot_2025-07-14-15-07-58.png", 2025, 7, 14, 15, 7, 58},
      {L"Screenshot_2025-07-14-15-07-58-123_com.example.png", 2025, 7, 14, 15, 7, 58},
      {L"Screenshot_20250714-150758.png", 2025, 7, 14, 15, 7, 58},
      {L"2025-07-14 15.07.58.jpg", 2025, 7, 14, 15, 7, 58},
      {L"2025-07-14 15.07.58", 2025, 7, 14, 15, 7, 58},  // no extension: ".58" is the seconds
      {L"2025-07-14_15-07-58.mp4", 2025, 7, 14, 15, 7, 58},
      {L"IMG-20250714-WA0001.jpg", 2025, 7, 14, 0, 0, 0},
      {L"signal-2025-07-14-150758.jpg", 2025, 7, 14, 15, 7, 58},
      {L"20250714T150758.jpg", 2025, 7, 14, 15, 7, 58},
      {L"20250714150758.jpg", 2025, 7, 14, 15, 7, 58},
      {L"20250714150758123.jpg", 2025, 7, 14, 15, 7, 58},
      {L"20250714.jpg", 2025, 7, 14, 0, 0, 0},
      {L"2025-07-14.pdf", 2025, 7, 14, 0, 0, 0},
      {L"2025.07.14", 2025, 7, 14, 0, 0, 0},  // a folder: ".14" is no extension
      {L"Trip.2025_07_14", 2025, 7, 14, 0, 0, 0},
      {L"2025-07-14 (2).jpg", 2025, 7, 14, 0, 0, 0},
      {L"20250714_1.jpg", 2025, 7, 14, 0, 0, 0},      // a counter, not a time
      {L"20250714_12345.jpg", 2025, 7, 14, 0, 0, 0},  // five digits: still a counter
      {L"IMG_20250714_150758~2.jpg", 2025, 7, 14, 15, 7, 58},
      {L"C:\\写真\\2024-01-01\\IMG_20250714_150758.jpg", 2025, 7, 14, 15, 7, 58},  // the folder does not count
      {L"C:\\写真\\2025-07-14\\", 2025, 7, 14, 0, 0, 0},                          // a folder target
      {L"Copy 2 of 20250714_150758.jpg", 2025, 7, 14, 15, 7, 58},
      {L"IMG_20251340_000000_20250714_150758.jpg", 2025, 7, 14, 15, 7, 58},  // the first valid one counts
      // The limits of the calendar and of the years.
      {L"IMG_19800101_000000.jpg", 1980, 1, 1, 0, 0, 0},
      {L"IMG_19791231_235959.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_21001231_235959.jpg", 2100, 12, 31, 23, 59, 59},
      {L"IMG_21010101_000000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20240229_120000.jpg", 2024, 2, 29, 12, 0, 0},
      {L"IMG_20250229_120000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20250230_120000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20251301_120000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20250014_120000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20250714_250000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20250714_240000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20250714_236000.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_20250714_235960.jpg", 0, 0, 0, 0, 0, 0},
      {L"Screenshot_2025-07-14-25-07-58.png", 0, 0, 0, 0, 0, 0},
      // A number inside a longer run of digits is no date, and a time begun must be complete.
      {L"120250714_150758.jpg", 0, 0, 0, 0, 0, 0},
      {L"2025071_150758.jpg", 0, 0, 0, 0, 0, 0},
      {L"20250714_1507589999.jpg", 0, 0, 0, 0, 0, 0},   // ten digits after the date
      {L"20250714_150758123.jpg", 2025, 7, 14, 15, 7, 58},  // nine: up to three of milliseconds
      {L"202507141507581234.jpg", 0, 0, 0, 0, 0, 0},    // eighteen digits in one run
      {L"12025-07-14.jpg", 0, 0, 0, 0, 0, 0},
      {L"2025-07-145.jpg", 0, 0, 0, 0, 0, 0},
      {L"2025-7-14.jpg", 0, 0, 0, 0, 0, 0},
      {L"2025-07_14.jpg", 0, 0, 0, 0, 0, 0},            // mixed separators
      {L"2025-07-14 15.07.jpg", 0, 0, 0, 0, 0, 0},      // no seconds
      {L"2025-07-14 15-07.58.jpg", 0, 0, 0, 0, 0, 0},   // mixed separators in the time
      {L"2025-07-14 15.07.589.jpg", 0, 0, 0, 0, 0, 0},
      {L"DSC_0001.jpg", 0, 0, 0, 0, 0, 0},
      {L"IMG_2025.jpg", 0, 0, 0, 0, 0, 0},
      {L"report.20250714", 2025, 7, 14, 0, 0, 0},  // digits only: no extension
      {L"report.x20250714", 0, 0, 0, 0, 0, 0},                    // an extension: not read
      {L"", 0, 0, 0, 0, 0, 0},
      {L"\\", 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "name: " << testing::PrintToString(std::wstring(c.name)));
    const auto got = media::DateFromFileName(c.name);
    if (c.y == 0) {
      EXPECT_EQ(Shown(got), L"none");
      continue;
    }
    media::TMediaTime want;
    want.Year = c.y, want.Month = c.mo, want.Day = c.d, want.Hour = c.h, want.Minute = c.mi, want.Second = c.s;
    EXPECT_EQ(Shown(got), Shown(want));
    if (got) {
      EXPECT_EQ(got->Zone, media::TMediaTime::TZone::Local);
    }
  }
}
