// Windows' reason texts for error codes.
#include "comm/ErrorText.h"
#include <gtest/gtest.h>

TEST(SystemErrorText, IsTheSystemsTextWithoutItsLineBreak) {
  wchar_t* buffer = nullptr;
  ASSERT_NE(FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, ERROR_ACCESS_DENIED, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr),
            0u);
  std::wstring raw = buffer;
  LocalFree(buffer);
  const std::wstring text = comm::SystemErrorText(ERROR_ACCESS_DENIED);
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(raw.rfind(text, 0), 0u);  // the system's own words
  EXPECT_NE(text.back(), L'\n');
  EXPECT_NE(text.back(), L'\r');
  EXPECT_NE(text.back(), L' ');
}

TEST(SystemErrorText, IsEmptyForACodeWithoutText) { EXPECT_EQ(comm::SystemErrorText(0x2FFFFFFF), L""); }
