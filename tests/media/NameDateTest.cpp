// The date-time in a file's name: the forms phones, cameras and apps write, and the near misses.
#include "media/NameDate.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct Case {
  const wchar_t* name;
  const wchar_t* want;  // null: no value
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
      {L"IMG_20250714_150758.jpg", L"2025-07-14 15:07:58"},
      {L"PXL_20250714_150758123.MP.jpg", L"2025-07-14 15:07:58"},
      {L"VID_20250714_150758.3gp", L"2025-07-14 15:07:58"},
      {L"Screenshot_2025-07-14-15-07-58.png", L"2025-07-14 15:07:58"},
      {L"Screenshot_20250714-150758.png", L"2025-07-14 15:07:58"},
      {L"2025-07-14 15.07.58", L"2025-07-14 15:07:58"},  // no extension: ".58" is the seconds
      {L"2025-07-14_15-07-58.mp4", L"2025-07-14 15:07:58"},
      {L"IMG-20250714-WA0001.jpg", L"2025-07-14 00:00:00"},
      {L"signal-2025-07-14-150758.jpg", L"2025-07-14 15:07:58"},
      {L"20250714150758123.jpg", L"2025-07-14 15:07:58"},
      {L"2025-07-14.pdf", L"2025-07-14 00:00:00"},
      {L"20250714_1.jpg", L"2025-07-14 00:00:00"},      // a counter, not a time
      {L"C:\\写真\\2024-01-01\\IMG_20250714_150758.jpg", L"2025-07-14 15:07:58"},  // the folder does not count
      {L"C:\\写真\\2025-07-14\\", L"2025-07-14 00:00:00"},                          // a folder target
      {L"IMG_20251340_000000_20250714_150758.jpg", L"2025-07-14 15:07:58"},  // the first valid one counts
      // The limits of the calendar and of the years.
      {L"IMG_19800101_000000.jpg", L"1980-01-01 00:00:00"},
      {L"IMG_19791231_235959.jpg", nullptr},
      {L"IMG_21001231_235959.jpg", L"2100-12-31 23:59:59"},
      {L"IMG_21010101_000000.jpg", nullptr},
      {L"IMG_20240229_120000.jpg", L"2024-02-29 12:00:00"},
      {L"IMG_20250229_120000.jpg", nullptr},
      {L"IMG_20251301_120000.jpg", nullptr},
      {L"IMG_20250714_250000.jpg", nullptr},
      {L"Screenshot_2025-07-14-25-07-58.png", nullptr},
      // A number inside a longer run of digits is no date, and a time begun must be complete.
      {L"120250714_150758.jpg", nullptr},
      {L"20250714_1507589999.jpg", nullptr},   // ten digits after the date
      {L"202507141507581234.jpg", nullptr},    // eighteen digits in one run
      {L"12025-07-14.jpg", nullptr},
      {L"2025-07-145.jpg", nullptr},
      {L"2025-07_14.jpg", nullptr},            // mixed separators
      {L"2025-07-14 15.07.jpg", nullptr},      // no seconds
      {L"report.20250714", L"2025-07-14 00:00:00"},  // digits only: no extension
      {L"report.x20250714", nullptr},                    // an extension: not read
      {L"", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "name: " << testing::PrintToString(std::wstring(c.name)));
    const auto got = media::DateFromFileName(c.name);
    EXPECT_EQ(Shown(got), c.want ? c.want : L"none");
    if (got) {
      EXPECT_EQ(got->Zone, media::TMediaTime::TZone::Local);
    }
  }
}
