// Round trips between UTF-16 and code page 932.
#include "comm/Cp932.h"
#include <gtest/gtest.h>

TEST(Cp932, RoundTripsJapaneseAndAscii) {
  std::wstring text = L"C:\\データ\\表ソ.txt";
  std::string bytes = comm::WideToCp932(text);
  // 表 is 0x95 0x5C and ソ is 0x83 0x5C in Shift-JIS: the second byte is a backslash.
  EXPECT_NE(bytes.find("\x95\x5C\x83\x5C"), std::string::npos);
  EXPECT_EQ(comm::Cp932ToWide(bytes), text);
}

TEST(Cp932, ReportsCharactersWithoutShiftJisForm) {
  bool used = false;
  comm::WideToCp932(L"a\u00e9b", &used);  // é has no Shift-JIS form
  EXPECT_TRUE(used);
  comm::WideToCp932(L"abc", &used);
  EXPECT_FALSE(used);
}
