// Long path names: short components expanded, stored letter case, missing components kept as passed.
#include "comm/LongPathName.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <cwctype>

namespace {

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}
std::wstring Upper(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}
std::wstring ShortName(const std::wstring& path) {
  wchar_t buf[1024];
  const DWORD n = GetShortPathNameW(path.c_str(), buf, 1024);
  return n > 0 && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

}  // namespace

TEST(LongPathName, LowerCaseDriveShortFolderAndTrailingSeparator) {
  const std::wstring shortName = ShortName(L"C:\\Program Files");
  ASSERT_FALSE(shortName.empty());
  ASSERT_NE(Upper(shortName), Upper(std::wstring(L"C:\\Program Files"))) << "no short name to expand";
  EXPECT_EQ(comm::comm_GetLongPathName(Lower(shortName) + L"\\"), L"c:\\Program Files");
}

TEST(LongPathName, EveryComponentTakesItsStoredName) {
  testsupport::TempTree tree;
  const std::wstring file = tree.MakeFile(L"A Long Folder Name\\Another Long File Name.text");
  const std::wstring shortFile = ShortName(file);
  ASSERT_FALSE(shortFile.empty());
  EXPECT_EQ(comm::comm_GetLongPathName(shortFile), file);
  // Letter case as stored; the drive as passed.
  const std::wstring upper = Upper(file);
  EXPECT_EQ(comm::comm_GetLongPathName(upper), L"C" + file.substr(1));
  std::wstring out = L"stale";
  comm::comm_GetLongPathName(file, out);
  EXPECT_EQ(out, file);
}

TEST(LongPathName, JapaneseNamesEndingInTheSecondByteBackslash) {
  testsupport::TempTree tree;
  const std::wstring dir = tree.MakeDir(L"一覧表");
  const std::wstring file = tree.MakeFile(L"一覧表\\ソ");
  EXPECT_EQ(comm::comm_GetLongPathName(dir + L"\\"), dir);
  EXPECT_EQ(comm::comm_GetLongPathName(file), file);
}

TEST(LongPathName, MissingComponentsStayAsPassed) {
  testsupport::TempTree tree;
  tree.MakeDir(L"Existing");
  // An ordinary missing file: the input without its trailing separator.
  const std::wstring missing = Upper(tree.Root()) + L"\\EXISTING\\no such file.txt";
  EXPECT_EQ(comm::comm_GetLongPathName(missing), missing);
  EXPECT_EQ(comm::comm_GetLongPathName(missing + L"\\"), missing);
  // Everything after a missing folder stays as passed too.
  const std::wstring deeper = tree.Root() + L"\\gone\\Existing";
  EXPECT_EQ(comm::comm_GetLongPathName(deeper), deeper);
}

TEST(LongPathName, DrivesAndEmptyPaths) {
  EXPECT_EQ(comm::comm_GetLongPathName(L""), L"");
  EXPECT_EQ(comm::comm_GetLongPathName(L"C:"), L"C:");
  EXPECT_EQ(comm::comm_GetLongPathName(L"c:\\"), L"c:");
  EXPECT_EQ(comm::comm_GetLongPathName(L"c:\\windows"), L"c:\\windows");
}

TEST(LongPathName, PathsThatAreTheirOwnFolderPartEnd) {
  // Each of these once made the expansion call itself with the same text until the stack ran out.
  testsupport::TempTree tree;
  const std::wstring file = tree.MakeFile(L"Stream.txt");
  EXPECT_EQ(comm::comm_GetLongPathName(L"abc:"), L"abc:");
  EXPECT_EQ(comm::comm_GetLongPathName(file + L":ads"), file + L":ads");
  EXPECT_EQ(comm::comm_GetLongPathName(L"\\\\?\\" + tree.Path(L"stream.txt")), L"\\\\?\\" + file);
}

TEST(LongPathName, ThousandsOfComponentsAreExpandedWithoutExhaustingTheStack) {
  // A command line may hold about 16,000 components; each once took a stack frame of its own.
  testsupport::TempTree tree;
  tree.MakeDir(L"Existing Folder");
  std::wstring deep = Upper(tree.Root()) + L"\\EXISTING FOLDER";
  for (int i = 0; i < 5000; ++i) deep += L"\\d";
  const std::wstring expanded = comm::comm_GetLongPathName(deep);
  // The missing part stays as passed; the run ends, whatever it found.
  EXPECT_EQ(expanded, deep);
  // Below the existing part: still the long names of what exists.
  const std::wstring file = tree.MakeFile(L"Existing Folder\\Some File.txt");
  EXPECT_EQ(comm::comm_GetLongPathName(Upper(file)), L"C" + file.substr(1));
}

TEST(LongPathName, NamesEndingInAPeriodOrASpaceAreFoundAsThemselvesNeverAsTheirTrimmedSiblings) {
  testsupport::TempTree tree;
  for (const wchar_t* f : {L"a", L"a.", L"b", L"b ", L"Dir\\f", L"Dir.\\F", L"only\\g"}) tree.MakeFile(f);
  const std::wstring root = tree.Root();
  auto stored = [&](const wchar_t* relative) { return L"C" + tree.Path(relative).substr(1); };
  EXPECT_EQ(comm::comm_GetLongPathName(Upper(root) + L"\\A."), stored(L"a."));
  EXPECT_EQ(comm::comm_GetLongPathName(Upper(root) + L"\\B "), stored(L"b "));
  EXPECT_EQ(comm::comm_GetLongPathName(Upper(root) + L"\\DIR.\\f"), stored(L"Dir.\\F"));
  EXPECT_EQ(comm::comm_GetLongPathName(Upper(root) + L"\\DIR\\F"), stored(L"Dir\\f"));
  // Where only the trimmed name exists, the name stays as passed (and so names nothing).
  for (const std::wstring& missing : {root + L"\\only\\g.", root + L"\\only\\g ", root + L"\\only.\\g", root + L"\\a.."})
    EXPECT_EQ(comm::comm_GetLongPathName(missing), missing);
  // A pattern is no name: "a*" would find "a".
  EXPECT_EQ(comm::comm_GetLongPathName(root + L"\\A*"), root + L"\\A*");
  // "." and ".." and a doubled separator stay where they were; the names around them are expanded.
  EXPECT_EQ(comm::comm_GetLongPathName(Upper(root) + L"\\DIR.\\..\\only\\.\\\\G\\"), stored(L"Dir.\\..\\only\\.\\\\g"));
}

TEST(LongPathName, LiteralRelativeAndLongPaths) {
  testsupport::TempTree tree;
  std::wstring deep = L"deep";
  while (tree.Path(deep).size() < MAX_PATH + 20) deep += L"\\Folder With A Long Name";
  tree.MakeFile(deep + L"\\Last.");
  const std::wstring file = tree.Path(deep + L"\\Last.");
  EXPECT_EQ(comm::comm_GetLongPathName(Upper(file)), L"C" + file.substr(1));
  EXPECT_EQ(comm::comm_GetLongPathName(L"\\\\?\\" + Lower(file)), L"\\\\?\\c" + file.substr(1));
  // A relative path stays relative, its names found from the current folder.
  wchar_t saved[MAX_PATH + 1];
  GetCurrentDirectoryW(MAX_PATH + 1, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(tree.Root().c_str()));
  const std::wstring relative = comm::comm_GetLongPathName(Lower(deep) + L"\\last.");
  const std::wstring up = comm::comm_GetLongPathName(L"DEEP\\..\\DEEP");
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(relative, deep + L"\\Last.");
  EXPECT_EQ(up, L"deep\\..\\deep");
}
