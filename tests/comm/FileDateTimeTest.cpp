// File times: conversion with the local bias, and reading and writing them on files and folders.
#include "comm/FileDateTime.h"
#include "comm/Scoped.h"
#include "support/FixedClock.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <cmath>

using comm::TDateTime;
using testsupport::FileTimeOf;
using testsupport::kHour100ns;
using testsupport::ReadRawTimes;
using testsupport::WriteRawTimes;

namespace {

constexpr int64_t kMs = 10000;  // 100-ns units per millisecond

FILETIME Ft(int64_t v) { return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(static_cast<uint64_t>(v) >> 32)}; }
int64_t Int(const FILETIME& ft) {
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  TDateTime v = 0;
  EXPECT_TRUE(comm::TryEncodeDateTime({y, mo, d, h, mi, s, ms}, v));
  return v;
}

// Wine keeps no creation time of its own on Linux file systems: it reports the last-write time.
bool CreationTimeIsKept() { return !testsupport::RunningOnWine(); }
constexpr const char* kNoCreationTime = "Wine reports the last-write time as the creation time on Linux file systems";

}  // namespace

TEST(FileTimeConversion, UtcToLocalWithTheBiasInForce) {
  const int64_t utc = FileTimeOf(2000, 1, 1, 0, 0, 0);
  TDateTime v = -1;
  {
    testsupport::FixedLocalBias utcZone(0);
    ASSERT_TRUE(comm::comm_ConvFileTimeToDateTime(Ft(utc), v));
    EXPECT_EQ(v, 36526.0);
  }
  {
    testsupport::FixedLocalBias japan(-9 * kHour100ns);
    ASSERT_TRUE(comm::comm_ConvFileTimeToDateTime(Ft(utc), v));
    EXPECT_EQ(v, At(2000, 1, 1, 9, 0, 0));
  }
  {
    testsupport::FixedLocalBias newYork(5 * kHour100ns);
    ASSERT_TRUE(comm::comm_ConvFileTimeToDateTime(Ft(utc), v));
    EXPECT_EQ(v, At(1999, 12, 31, 19, 0, 0));
  }
}

TEST(FileTimeConversion, LocalToUtcWithTheBiasInForce) {
  FILETIME ft{};
  testsupport::FixedLocalBias japan(-9 * kHour100ns);
  ASSERT_TRUE(comm::comm_ConvDateTimeToFileTime(At(2026, 12, 7, 9, 30, 15, 250), ft));
  EXPECT_EQ(Int(ft), FileTimeOf(2026, 12, 7, 0, 30, 15, 250));
}

TEST(FileTimeConversion, MillisecondsSurviveAndTheRestIsCut) {
  testsupport::FixedLocalBias japan(-9 * kHour100ns);
  const int64_t utc = FileTimeOf(2021, 6, 30, 12, 0, 5) + 1234567;  // 123.4567 ms past the second
  TDateTime v = 0;
  ASSERT_TRUE(comm::comm_ConvFileTimeToDateTime(Ft(utc), v));
  EXPECT_EQ(v, At(2021, 6, 30, 21, 0, 5, 123));
  FILETIME back{};
  ASSERT_TRUE(comm::comm_ConvDateTimeToFileTime(v, back));
  EXPECT_EQ(Int(back), utc - 4567);
}

TEST(FileTimeConversion, WholeMillisecondTimesRoundTripExactly) {
  testsupport::FixedLocalBias india(static_cast<int64_t>(-5.5 * kHour100ns));
  const int64_t starts[] = {FileTimeOf(1601, 1, 2), FileTimeOf(1899, 12, 29, 23, 59, 59, 999), FileTimeOf(1980, 1, 1),
                            FileTimeOf(2038, 1, 19, 3, 14, 8), FileTimeOf(9999, 12, 28, 12)};
  for (int64_t start : starts) {
    for (int64_t t = start; t < start + 3 * 24 * kHour100ns; t += 7777777 * kMs) {
      SCOPED_TRACE(t);
      TDateTime v;
      FILETIME back;
      ASSERT_TRUE(comm::comm_ConvFileTimeToDateTime(Ft(t), v));
      ASSERT_TRUE(comm::comm_ConvDateTimeToFileTime(v, back));
      ASSERT_EQ(Int(back), t);
    }
  }
}

TEST(FileTimeConversion, TimesOutsideYears1To9999AreNotConverted) {
  testsupport::FixedLocalBias utcZone(0);
  TDateTime v = 7;
  EXPECT_FALSE(comm::comm_ConvFileTimeToDateTime(Ft(FileTimeOf(10000, 1, 1)), v));
  EXPECT_FALSE(comm::comm_ConvFileTimeToDateTime(Ft(INT64_MAX), v));
  EXPECT_FALSE(comm::comm_ConvFileTimeToDateTime(FILETIME{0xFFFFFFFF, 0xFFFFFFFF}, v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(comm::comm_ConvFileTimeToDateTime(Ft(FileTimeOf(9999, 12, 31, 23, 59, 59, 999)), v));
  EXPECT_TRUE(comm::comm_ConvFileTimeToDateTime(Ft(0), v));
  EXPECT_EQ(v, At(1601, 1, 1));
  {
    // West of UTC the first hours of 1601 have no local file time.
    testsupport::FixedLocalBias west(5 * kHour100ns);
    EXPECT_FALSE(comm::comm_ConvFileTimeToDateTime(Ft(kHour100ns), v));
  }
  FILETIME ft{};
  EXPECT_FALSE(comm::comm_ConvDateTimeToFileTime(At(1600, 12, 31), ft));
  EXPECT_FALSE(comm::comm_ConvDateTimeToFileTime(std::nan(""), ft));
  EXPECT_FALSE(comm::comm_ConvDateTimeToFileTime(comm::kMaxDateDay + 2.0, ft));
}

TEST(FileTimeConversion, TextIsTheLocalTimeToTheSecondOrAQuestionMark) {
  testsupport::FixedLocalBias japan(-9 * kHour100ns);
  EXPECT_EQ(comm::LocalFileTimeText(Ft(FileTimeOf(2025, 7, 14, 6, 7, 58, 999) + 9999)), L"2025/07/14 15:07:58");
  EXPECT_EQ(comm::LocalFileTimeText(Ft(0)), L"1601/01/01 09:00:00");
  EXPECT_EQ(comm::LocalFileTimeText(Ft(FileTimeOf(9999, 12, 31, 14, 59, 59, 999))), L"9999/12/31 23:59:59");
  EXPECT_EQ(comm::LocalFileTimeText(Ft(FileTimeOf(9999, 12, 31, 15, 0, 0))), L"?");  // 10000 locally
  EXPECT_EQ(comm::LocalFileTimeText(FILETIME{0xFFFFFFFF, 0xFFFFFFFF}), L"?");
  testsupport::FixedLocalBias west(5 * kHour100ns);
  EXPECT_EQ(comm::LocalFileTimeText(Ft(kHour100ns)), L"?");
  // The parts as they are stored, also when they form no date and are wider than their fields.
  EXPECT_EQ(comm::FormatDateTimeParts(7, 2, 30, 0, 5, 9), L"0007/02/30 00:05:09");
  EXPECT_EQ(comm::FormatDateTimeParts(65535, 100, 0, 24, 60, 61), L"65535/100/00 24:60:61");
}

TEST(FileDateTime, WritesCreationAndLastWriteAndLeavesLastAccess) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"a.txt");
  const int64_t access = FileTimeOf(2010, 3, 4, 5, 6, 7) + 1234567;
  ASSERT_TRUE(WriteRawTimes(f, -1, access, -1));
  const TDateTime created = At(2001, 2, 3, 4, 5, 6), written = At(2002, 3, 4, 5, 6, 7, 890);
  ASSERT_TRUE(comm::comm_SetFileDateTime(f, created, written));

  const auto raw = ReadRawTimes(f);
  EXPECT_EQ(raw.LastAccess, access);
  TDateTime c, a, w;
  ASSERT_TRUE(comm::comm_GetFileDateTime(f, c, a, w));
  EXPECT_EQ(w, written);
  if (CreationTimeIsKept()) {
    EXPECT_EQ(c, created);
  } else {
    GTEST_LOG_(INFO) << "creation time not checked: " << kNoCreationTime;
  }
}

TEST(FileDateTime, WritesInUtcWithTheBiasInForce) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"zone.txt");
  testsupport::FixedLocalBias japan(-9 * kHour100ns);
  ASSERT_TRUE(comm::comm_SetFileDateTime(f, 0, At(2026, 1, 1, 9, 0, 0)));
  EXPECT_EQ(ReadRawTimes(f).LastWrite, FileTimeOf(2026, 1, 1, 0, 0, 0));
  TDateTime c, a, w;
  ASSERT_TRUE(comm::comm_GetFileDateTime(f, c, a, w));
  EXPECT_EQ(w, At(2026, 1, 1, 9, 0, 0));
}

TEST(FileDateTime, ZeroKeepsATimeCutToWholeMilliseconds) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"keep.txt");
  const int64_t base = FileTimeOf(2015, 7, 8, 9, 10, 11);
  ASSERT_TRUE(WriteRawTimes(f, base + 1234567, base + 2 * kMs + 5, base + 1234567));  // 123.4567 ms past the second
  ASSERT_TRUE(comm::comm_SetFileDateTime(f, 0, 0));
  const auto raw = ReadRawTimes(f);
  EXPECT_EQ(raw.LastWrite, base + 1230000);
  EXPECT_EQ(raw.LastAccess, base + 2 * kMs + 5);  // never written
  if (CreationTimeIsKept()) {
    EXPECT_EQ(raw.Creation, base + 1230000);
  }

  // Creation 0 with a new last-write time keeps the creation time.
  ASSERT_TRUE(comm::comm_SetFileDateTime(f, 0, At(2020, 1, 2, 3, 4, 5)));
  if (CreationTimeIsKept()) {
    EXPECT_EQ(ReadRawTimes(f).Creation, base + 1230000);
  }
}

TEST(FileDateTime, FolderWithAndWithoutTrailingSeparator) {
  testsupport::TempTree tree;
  const std::wstring dir = tree.MakeDir(L"フォルダ");
  ASSERT_TRUE(comm::comm_SetFileDateTime(dir + L"\\", At(1999, 9, 9, 9, 9, 9), At(2003, 3, 3, 3, 3, 3)));
  TDateTime c1, a1, w1, c2, a2, w2;
  ASSERT_TRUE(comm::comm_GetFileDateTime(dir + L"\\", c1, a1, w1));
  ASSERT_TRUE(comm::comm_GetFileDateTime(dir, c2, a2, w2));
  EXPECT_EQ(w1, At(2003, 3, 3, 3, 3, 3));
  EXPECT_EQ(w1, w2);
  EXPECT_EQ(c1, c2);
  if (CreationTimeIsKept()) {
    EXPECT_EQ(c1, At(1999, 9, 9, 9, 9, 9));
  }
  ASSERT_TRUE(comm::comm_SetFileDateTime(dir, 0, At(2004, 4, 4, 4, 4, 4)));
  ASSERT_TRUE(comm::comm_GetFileDateTime(dir + L"\\", c1, a1, w1));
  EXPECT_EQ(w1, At(2004, 4, 4, 4, 4, 4));
}

TEST(FileDateTime, NamesEndingInTheSecondByteBackslashKeepTheirLastCharacter) {
  // In Shift-JIS 表 is 0x95 0x5C and ソ is 0x83 0x5C; neither is taken for a trailing separator.
  testsupport::TempTree tree;
  testsupport::FixedLocalBias utcZone(0);
  for (const wchar_t* name : {L"一覧表", L"ソ", L"データ表ソ"}) {
    SCOPED_TRACE(testing::Message() << "name starting U+" << std::hex << static_cast<int>(name[0]));
    const std::wstring f = tree.MakeFile(name);
    ASSERT_TRUE(comm::comm_SetFileDateTime(f, 0, At(2011, 11, 11, 11, 11, 11)));
    TDateTime c, a, w;
    ASSERT_TRUE(comm::comm_GetFileDateTime(f, c, a, w));
    EXPECT_EQ(w, At(2011, 11, 11, 11, 11, 11));
    EXPECT_EQ(ReadRawTimes(f).LastWrite, FileTimeOf(2011, 11, 11, 11, 11, 11));
    // Had the last character been cut, the longer names would not exist.
    if (std::wstring_view(name).size() > 1) {
      EXPECT_FALSE(comm::comm_GetFileDateTime(f.substr(0, f.size() - 1), c, a, w));
    }
  }
}

TEST(FileDateTime, MissingPathFails) {
  testsupport::TempTree tree;
  TDateTime c = 1, a = 2, w = 3;
  EXPECT_FALSE(comm::comm_GetFileDateTime(tree.Path(L"missing.txt"), c, a, w));
  EXPECT_FALSE(comm::comm_SetFileDateTime(tree.Path(L"missing.txt"), At(2000, 1, 1), At(2000, 1, 1)));
  EXPECT_FALSE(comm::comm_SetFileDateTime(tree.Path(L"missing\\"), At(2000, 1, 1), At(2000, 1, 1)));
}

TEST(FileDateTime, FileHeldOpenWithoutWriteSharingFails) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"held.txt");
  const auto before = ReadRawTimes(f);
  {
    comm::TUniqueHandle holder(CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    TDateTime c, a, w;
    EXPECT_FALSE(comm::comm_GetFileDateTime(f, c, a, w));
    EXPECT_FALSE(comm::comm_SetFileDateTime(f, At(2000, 1, 1), At(2000, 1, 1)));
  }
  EXPECT_EQ(ReadRawTimes(f).LastWrite, before.LastWrite);
  EXPECT_TRUE(comm::comm_SetFileDateTime(f, At(2000, 1, 1), At(2000, 1, 1)));
}

TEST(FileDateTime, ReadOnlyFileFailsUntilTheAttributeIsCleared) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"ro.txt");
  ASSERT_TRUE(SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_READONLY));
  TDateTime c, a, w;
  EXPECT_FALSE(comm::comm_GetFileDateTime(f, c, a, w));
  EXPECT_FALSE(comm::comm_SetFileDateTime(f, At(2000, 1, 1), At(2000, 1, 1)));
  ASSERT_TRUE(SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(comm::comm_GetFileDateTime(f, c, a, w));
  EXPECT_TRUE(comm::comm_SetFileDateTime(f, At(2000, 1, 1), At(2000, 1, 1)));
}

TEST(FileDateTime, LastAccessThatCannotBeConvertedFailsTheWrite) {
  // A bias of 8000 years puts a last access in 2030 past the year 9999 in local time, while times
  // in 1990 still convert: the read, and so the write, fail on the last-access time alone.
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"far.txt");
  const int64_t y1990 = FileTimeOf(1990, 1, 1), y2030 = FileTimeOf(2030, 1, 1);
  ASSERT_TRUE(WriteRawTimes(f, y1990, y2030, y1990));
  testsupport::FixedLocalBias farAhead(-2921940LL * 24 * kHour100ns);
  TDateTime c, a, w;
  EXPECT_FALSE(comm::comm_GetFileDateTime(f, c, a, w));
  EXPECT_FALSE(comm::comm_SetFileDateTime(f, At(9991, 1, 1), At(9991, 1, 1)));
  EXPECT_EQ(ReadRawTimes(f).LastWrite, y1990);

  ASSERT_TRUE(WriteRawTimes(f, -1, y1990, -1));
  EXPECT_TRUE(comm::comm_GetFileDateTime(f, c, a, w));
  EXPECT_TRUE(comm::comm_SetFileDateTime(f, At(9991, 1, 1), At(9991, 1, 1)));
  EXPECT_NE(ReadRawTimes(f).LastWrite, y1990);
}

TEST(ReplaceFileDateTime, NullKeepsATimeAndAValueReplacesIt) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"r.txt");
  const int64_t base = FileTimeOf(2012, 12, 12, 12, 12, 12);
  ASSERT_TRUE(WriteRawTimes(f, base + 1234567, -1, base + 1234567));
  const TDateTime written = At(2019, 9, 19, 19, 19, 19);
  EXPECT_EQ(comm::comm_ReplaceFileDateTime(f, nullptr, &written), comm::rtDone);
  TDateTime c, a, w;
  ASSERT_TRUE(comm::comm_GetFileDateTime(f, c, a, w));
  EXPECT_EQ(w, written);
  if (CreationTimeIsKept()) {
    EXPECT_EQ(ReadRawTimes(f).Creation, base + 1230000);
  }
  EXPECT_EQ(comm::comm_ReplaceFileDateTime(f, nullptr, nullptr), comm::rtDone);
  EXPECT_EQ(ReadRawTimes(f).LastWrite, ReadRawTimes(f).LastWrite / 10000 * 10000);
}

TEST(ReplaceFileDateTime, TellsAFailedReadFromAFailedWrite) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"r.txt");
  const TDateTime fine = At(2000, 1, 1), tooEarly = At(1600, 1, 1);
  EXPECT_EQ(comm::comm_ReplaceFileDateTime(tree.Path(L"missing"), &fine, &fine), comm::rtUnreadable);
  const auto before = ReadRawTimes(f);
  EXPECT_EQ(comm::comm_ReplaceFileDateTime(f, &tooEarly, &fine), comm::rtWriteFailed);
  EXPECT_EQ(comm::comm_ReplaceFileDateTime(f, &fine, &tooEarly), comm::rtWriteFailed);
  EXPECT_EQ(ReadRawTimes(f).LastWrite, before.LastWrite);  // nothing written
  {
    comm::TUniqueHandle holder(CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(comm::comm_ReplaceFileDateTime(f, &fine, &fine), comm::rtUnreadable);
  }
}
