// Literal path forms and object keys: names kept as they stand, roots kept whole, one key per object.
#include "comm/LiteralPath.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>

TEST(LiteralPath, DrivePathsAndSharesTakeTheirLiteralPrefix) {
  EXPECT_EQ(comm::comm_LiteralPath(L"C:\\dir\\name.txt"), L"\\\\?\\C:\\dir\\name.txt");
  EXPECT_EQ(comm::comm_LiteralPath(L"\\\\server\\share\\dir"), L"\\\\?\\UNC\\server\\share\\dir");
  EXPECT_EQ(comm::comm_LiteralPath(L"//server/share/dir/"), L"\\\\?\\UNC\\server\\share\\dir");
  EXPECT_EQ(comm::comm_LiteralPath(L""), L"");
}

TEST(LiteralPath, NamesEndingInPeriodsOrSpacesStayAsTheyStand) {
  EXPECT_EQ(comm::comm_LiteralPath(L"C:\\d\\a."), L"\\\\?\\C:\\d\\a.");
  EXPECT_EQ(comm::comm_LiteralPath(L"C:\\d\\b "), L"\\\\?\\C:\\d\\b ");
  EXPECT_EQ(comm::comm_LiteralPath(L"C:\\d. \\x"), L"\\\\?\\C:\\d. \\x");
  // What the rules do that the user means is still done: "/", doubled separators, "." and "..".
  EXPECT_EQ(comm::comm_LiteralPath(L"C:/d//e\\.\\f\\..\\g"), L"\\\\?\\C:\\d\\e\\g");
  EXPECT_EQ(comm::comm_LiteralPath(L"C:\\..\\..\\x"), L"\\\\?\\C:\\x");  // never above the root
}

TEST(LiteralPath, ARootKeepsItsSeparatorAndNothingElseDoes) {
  EXPECT_EQ(comm::comm_LiteralPath(L"C:\\"), L"\\\\?\\C:\\");
  EXPECT_EQ(comm::comm_LiteralPath(L"C:\\d\\"), L"\\\\?\\C:\\d");
  EXPECT_EQ(comm::comm_LiteralPath(L"\\\\server\\share"), L"\\\\?\\UNC\\server\\share\\");
  EXPECT_EQ(comm::comm_LiteralPath(L"\\\\?\\C:\\"), L"\\\\?\\C:\\");
  EXPECT_EQ(comm::comm_LiteralPath(L"\\\\?\\C:\\d\\"), L"\\\\?\\C:\\d");
  EXPECT_EQ(comm::comm_LiteralPath(L"\\\\?\\UNC\\s\\h\\"), L"\\\\?\\UNC\\s\\h\\");
  EXPECT_TRUE(comm::comm_IsRootPath(L"C:\\"));
  EXPECT_TRUE(comm::comm_IsRootPath(L"\\\\?\\C:\\"));
  EXPECT_TRUE(comm::comm_IsRootPath(L"\\\\server\\share\\"));
  EXPECT_FALSE(comm::comm_IsRootPath(L"C:\\d"));
  EXPECT_FALSE(comm::comm_IsRootPath(L"\\\\?\\C:"));  // the volume, not its root folder
  EXPECT_FALSE(comm::comm_IsRootPath(L"\\\\server\\share\\d"));
  EXPECT_FALSE(comm::comm_IsRootPath(L"C:"));
}

TEST(LiteralPath, RelativePathsAreTakenFromTheCurrentFolderWithTheirNamesKept) {
  testsupport::TempTree tree;
  wchar_t saved[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(tree.Root().c_str()));
  const std::wstring relative = comm::comm_LiteralPath(L"sub\\a.");
  const std::wstring driveRelative = comm::comm_LiteralPath(tree.Root().substr(0, 2));  // "C:": the current folder
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(relative, comm::comm_LiteralPath(tree.Root()) + L"\\sub\\a.");
  EXPECT_EQ(driveRelative, comm::comm_LiteralPath(tree.Root()));
}

TEST(PathKey, SpellingsOfOneObjectShareAKeyAndOtherObjectsDoNot) {
  EXPECT_EQ(comm::comm_PathKey(L"\\\\?\\C:\\x"), L"C:\\x");
  EXPECT_EQ(comm::comm_PathKey(L"C:\\x\\"), L"C:\\x");
  EXPECT_EQ(comm::comm_PathKey(L"C:\\x"), L"C:\\x");
  EXPECT_EQ(comm::comm_PathKey(L"\\\\?\\UNC\\s\\h\\x"), L"\\\\s\\h\\x");
  EXPECT_EQ(comm::comm_PathKey(L"\\\\s\\h\\x\\"), L"\\\\s\\h\\x");
  EXPECT_EQ(comm::comm_PathKey(L"C:\\"), L"C:\\");
  EXPECT_EQ(comm::comm_PathKey(L"C:"), L"C:");  // a relative path is its own key
  EXPECT_EQ(comm::comm_PathKey(L"C:\\x."), L"C:\\x.");
}
