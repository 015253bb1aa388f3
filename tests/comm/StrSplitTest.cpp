// Splitting at delimiter characters: empty pieces, the trailing delimiter, double-byte characters.
#include "comm/StrSplit.h"
#include <gtest/gtest.h>

using List = std::vector<std::wstring>;

TEST(StrSplit, ConsecutiveDelimitersGiveAnEmptyPiece) {
  List list;
  EXPECT_EQ(comm::comm_StrSplit(L"txt;;bmp", L";", list), 3);
  EXPECT_EQ(list, (List{L"txt", L"", L"bmp"}));
}

TEST(StrSplit, TrailingDelimiterAddsNothing) {
  List list;
  EXPECT_EQ(comm::comm_StrSplit(L"txt;", L";", list), 1);
  EXPECT_EQ(list, (List{L"txt"}));
}

TEST(StrSplit, EmptyTextGivesNothingAndClearsTheList) {
  List list{L"old", L"entries"};
  EXPECT_EQ(comm::comm_StrSplit(L"", L";", list), 0);
  EXPECT_TRUE(list.empty());
}

TEST(StrSplit, LeadingDelimiterAddsAnEmptyPiece) {
  List list;
  EXPECT_EQ(comm::comm_StrSplit(L";txt", L";", list), 2);
  EXPECT_EQ(list, (List{L"", L"txt"}));
}

TEST(StrSplit, AnyOfSeveralDelimitersSplits) {
  List list;
  EXPECT_EQ(comm::comm_StrSplit(L"a;b,c d", L";, ", list), 4);
  EXPECT_EQ(list, (List{L"a", L"b", L"c", L"d"}));
}

TEST(StrSplit, TextWithoutDelimitersIsOnePiece) {
  List list;
  EXPECT_EQ(comm::comm_StrSplit(L"jpeg", L";", list), 1);
  EXPECT_EQ(list, (List{L"jpeg"}));
  EXPECT_EQ(comm::comm_StrSplit(L"a;b", L"", list), 1);
  EXPECT_EQ(list, (List{L"a;b"}));
}

TEST(StrSplit, SecondByteOfADoubleByteCharacterIsNoDelimiter) {
  // 表 and ソ end in the byte 0x5C ("\") in Shift-JIS; split at "\" they stay whole.
  List list;
  EXPECT_EQ(comm::comm_StrSplit(L"表ソ\\ソ表", L"\\", list), 2);
  EXPECT_EQ(list, (List{L"表ソ", L"ソ表"}));
  EXPECT_EQ(comm::comm_StrSplit(L"画像；表", L"；", list), 2);  // a full-width delimiter
  EXPECT_EQ(list, (List{L"画像", L"表"}));
}
