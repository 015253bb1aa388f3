// Path kinds, the folder test, size and date from a directory search, and the read-only attribute.
#include "comm/FileAttr.h"
#include "support/FixedClock.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>

using comm::TDateTime;

TEST(PathKind, ValuesKeepTheirOrder) {
  EXPECT_EQ(comm::pkFolder, 0);
  EXPECT_EQ(comm::pkNone, 1);
  EXPECT_EQ(comm::pkFile, 2);
}

TEST(PathKind, FolderFileAndNothing) {
  testsupport::TempTree tree;
  const std::wstring dir = tree.MakeDir(L"sub");
  const std::wstring file = tree.MakeFile(L"sub\\f.txt");
  EXPECT_EQ(comm::comm_GetPathKind(dir), comm::pkFolder);
  EXPECT_EQ(comm::comm_GetPathKind(dir + L"\\"), comm::pkFolder);
  EXPECT_EQ(comm::comm_GetPathKind(file), comm::pkFile);
  EXPECT_EQ(comm::comm_GetPathKind(tree.Path(L"none")), comm::pkNone);
  EXPECT_EQ(comm::comm_GetPathKind(L""), comm::pkNone);
  EXPECT_TRUE(comm::comm_DirExists(dir));
  EXPECT_FALSE(comm::comm_DirExists(file));
  EXPECT_FALSE(comm::comm_DirExists(tree.Path(L"none")));
}

TEST(PathKind, HiddenSystemReadOnlyFolderIsStillAFolder) {
  testsupport::TempTree tree;
  const std::wstring dir = tree.MakeDir(L"hidden");
  ASSERT_TRUE(SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(comm::comm_GetPathKind(dir), comm::pkFolder);
  EXPECT_TRUE(comm::comm_DirExists(dir));
}

TEST(FileInfo, SizeAndDateInTwoSecondSteps) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"five.txt", "12345");
  testsupport::FixedLocalBias japan(-9 * testsupport::kHour100ns);
  ASSERT_TRUE(testsupport::WriteRawTimes(f, -1, -1, testsupport::FileTimeOf(2021, 3, 4, 5, 6, 7, 500)));
  int32_t size = -1;
  TDateTime date = -1;
  const DWORD attr = comm::comm_GetFileInfo(f, size, date);
  ASSERT_NE(attr, comm::kNoFileAttributes);
  EXPECT_FALSE(attr & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(size, 5);
  TDateTime expected;
  ASSERT_TRUE(comm::TryEncodeDateTime({2021, 3, 4, 14, 6, 6, 0}, expected));  // local, odd second dropped
  EXPECT_EQ(date, expected);
}

TEST(FileInfo, MissingPathGivesMinusOneAndZeroes) {
  testsupport::TempTree tree;
  int32_t size = 99;
  TDateTime date = 99;
  EXPECT_EQ(comm::comm_GetFileInfo(tree.Path(L"none"), size, date), comm::kNoFileAttributes);
  EXPECT_EQ(static_cast<int32_t>(comm::comm_GetFileInfo(tree.Path(L"none"), size, date)), -1);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(date, 0);
}

TEST(FileInfo, DriveRootHasAttributesButNoSizeOrDate) {
  int32_t size = 99;
  TDateTime date = 99;
  const DWORD attr = comm::comm_GetFileInfo(L"C:\\", size, date);
  ASSERT_NE(attr, comm::kNoFileAttributes);
  EXPECT_TRUE(attr & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(size, 0);
  EXPECT_EQ(date, 0);
}

TEST(FileInfo, FolderReportsTheFolderBit) {
  testsupport::TempTree tree;
  int32_t size = 99;
  TDateTime date = 0;
  const DWORD attr = comm::comm_GetFileInfo(tree.MakeDir(L"d"), size, date);
  ASSERT_NE(attr, comm::kNoFileAttributes);
  EXPECT_TRUE(attr & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_NE(date, 0);
}

TEST(ReadOnlyAttr, MissingPathLeavesTheOutValue) {
  testsupport::TempTree tree;
  bool readOnly = true;
  EXPECT_FALSE(comm::comm_GetReadOnlyAttr(tree.Path(L"none"), readOnly));
  EXPECT_TRUE(readOnly);
  readOnly = false;
  EXPECT_FALSE(comm::comm_GetReadOnlyAttr(tree.Path(L"none"), readOnly));
  EXPECT_FALSE(readOnly);
  EXPECT_FALSE(comm::comm_SetReadOnlyAttr(tree.Path(L"none"), true));
}

TEST(ReadOnlyAttr, SetAndClearKeepTheOtherBits) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"f.txt");
  ASSERT_TRUE(SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  bool readOnly = true;
  ASSERT_TRUE(comm::comm_GetReadOnlyAttr(f, readOnly));
  EXPECT_FALSE(readOnly);

  ASSERT_TRUE(comm::comm_SetReadOnlyAttr(f, true));
  ASSERT_TRUE(comm::comm_GetReadOnlyAttr(f, readOnly));
  EXPECT_TRUE(readOnly);
  DWORD attr = GetFileAttributesW(f.c_str());
  EXPECT_EQ(attr & 7u, 7u);

  ASSERT_TRUE(comm::comm_SetReadOnlyAttr(f, false));
  ASSERT_TRUE(comm::comm_GetReadOnlyAttr(f, readOnly));
  EXPECT_FALSE(readOnly);
  attr = GetFileAttributesW(f.c_str());
  EXPECT_EQ(attr & 7u, 6u);
}

TEST(ReadOnlyAttr, WorksOnFolders) {
  testsupport::TempTree tree;
  const std::wstring dir = tree.MakeDir(L"d");
  ASSERT_TRUE(comm::comm_SetReadOnlyAttr(dir, true));
  bool readOnly = false;
  ASSERT_TRUE(comm::comm_GetReadOnlyAttr(dir, readOnly));
  if (testsupport::RunningOnWine() && !readOnly) {
    GTEST_LOG_(INFO) << "read-only not checked: Wine keeps no read-only attribute on folders";
  } else {
    EXPECT_TRUE(readOnly);
  }
  EXPECT_EQ(comm::comm_GetPathKind(dir), comm::pkFolder);
  ASSERT_TRUE(comm::comm_SetReadOnlyAttr(dir, false));
  ASSERT_TRUE(comm::comm_GetReadOnlyAttr(dir, readOnly));
  EXPECT_FALSE(readOnly);
}
