// Replacing a file's bytes on real files: what the file keeps, holders, folders without create
// rights, long paths, and failures that must leave the old file whole.
#include "comm/FileBytes.h"
#include "comm/LiteralPath.h"
#include "support/FileObstacles.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>

using namespace comm;
using testsupport::TempTree;

namespace {

std::string Content(const std::wstring& path) {
  std::string bytes;
  return comm_ReadFileBytes(path, bytes, 0).Result == rbRead ? bytes : "<unreadable>";
}

std::vector<std::wstring> Names(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((comm::comm_LiteralPath(folder) + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do
    if (fd.cFileName[0] != L'.') names.push_back(fd.cFileName);
  while (FindNextFileW(find, &fd));
  FindClose(find);
  return names;
}

BY_HANDLE_FILE_INFORMATION Identity(const std::wstring& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  GetFileInformationByHandle(h, &info);
  CloseHandle(h);
  return info;
}

}  // namespace

TEST(FileBytes, ReplacementKeepsMarksAndLinksAndLeavesNothingBeside) {
  TempTree tree;
  const std::wstring file = tree.MakeFile(L"a.ini", "old content");
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(comm_ReplaceFileBytes(file, "longer new content").Result, rpReplaced);
  EXPECT_EQ(Content(file), "longer new content");
  EXPECT_EQ(comm_ReplaceFileBytes(file, "short").Result, rpReplaced);
  EXPECT_EQ(Content(file), "short");
  EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN);

  // A second name of the same file sees the new bytes: the file itself was written.
  const std::wstring link = tree.Path(L"link.ini");
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), file.c_str(), nullptr));
  EXPECT_EQ(comm_ReplaceFileBytes(link, "through the link").Result, rpInPlace);
  EXPECT_EQ(Content(file), "through the link");
  EXPECT_EQ(comm_ReplaceFileBytes(file, "x").Result, rpInPlace);
  EXPECT_EQ(Content(link), "x");
  EXPECT_EQ(Identity(link).nNumberOfLinks, 2u);

  EXPECT_EQ(comm_ReplaceFileBytes(tree.Path(L"new.ini"), "").Result, rpReplaced);
  EXPECT_EQ(Content(tree.Path(L"new.ini")), "");
  EXPECT_EQ(Names(tree.Root()), (std::vector<std::wstring>{L"a.ini", L"link.ini", L"new.ini"}));
}

TEST(FileBytes, SymbolicLinkIsFollowedToItsTarget) {
  TempTree tree;
  const std::wstring target = tree.MakeFile(L"target.ini", "old");
  const std::wstring link = tree.Path(L"link.ini");
  CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  const DWORD attributes = GetFileAttributesW(link.c_str());
  // Wine 8 reports success without making the link; Windows needs developer mode or the privilege.
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    GTEST_SKIP() << "this system makes no symbolic link for an ordinary user";
  EXPECT_EQ(comm_ReplaceFileBytes(link, "new").Result, rpReplaced);
  EXPECT_EQ(Content(target), "new");
  EXPECT_TRUE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A holder without delete sharing is waited for while the patience lasts; then the file is written
// in place when the holder lets others write, and left whole when it does not.
TEST(FileBytes, HolderIsWaitedForThenTheFileIsWrittenInPlaceOrLeftWhole) {
  TempTree tree;
  const std::wstring file = tree.MakeFile(L"a.ini", "old");
  {
    testsupport::OtherProcessHold editor(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(editor.Holding());
    editor.ReleaseAfter(150);
    TReplaceBytesOutcome out = comm_ReplaceFileBytes(file, "after the wait", 5000);
    EXPECT_EQ(out.Result, rpReplaced);
    EXPECT_FALSE(out.HolderOutwaited);
  }
  {
    testsupport::OtherProcessHold editor(file, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    const ULONGLONG start = GetTickCount64();
    TReplaceBytesOutcome out = comm_ReplaceFileBytes(file, "written in place", 300);
    EXPECT_GE(GetTickCount64() - start, 250u);
    EXPECT_EQ(out.Result, rpInPlace);
    EXPECT_TRUE(out.HolderOutwaited);
  }
  EXPECT_EQ(Content(file), "written in place");
  {
    testsupport::OtherProcessHold exclusive(file, GENERIC_READ, 0);
    std::string bytes;
    TReadBytesOutcome read = comm_ReadFileBytes(file, bytes, 100);
    EXPECT_EQ(read.Result, rbUnreadable);
    EXPECT_TRUE(read.HolderOutwaited);
    TReplaceBytesOutcome out = comm_ReplaceFileBytes(file, "lost", 100);
    EXPECT_EQ(out.Result, rpFailed);
    exclusive.ReleaseAfter(150);
    EXPECT_EQ(comm_ReadFileBytes(file, bytes, 5000).Result, rbRead);
    EXPECT_EQ(bytes, "written in place");
  }
  EXPECT_EQ(Names(tree.Root()), std::vector<std::wstring>{L"a.ini"});
}

TEST(FileBytes, WithoutATemporaryFileBesideItTheFileIsWrittenInPlace) {
  TempTree tree;
  const std::wstring folder = tree.MakeDir(L"Program Files");
  const std::wstring file = tree.MakeFile(L"Program Files\\a.ini", "old content");
  {
    testsupport::NoCreateRights locked(folder);
    ASSERT_TRUE(locked.Applied());
    EXPECT_EQ(comm_ReplaceFileBytes(file, "new").Result, rpInPlace);
    EXPECT_EQ(comm_ReplaceFileBytes(folder + L"\\other.ini", "new").Result, rpFailed);
  }
  EXPECT_EQ(Content(file), "new");
}

TEST(FileBytes, NamesPast260CharactersAreReplacedWhole) {
  TempTree tree;
  // A name whose temporary companion passes 260 characters, and one that passes it itself.
  std::wstring deep = tree.Root();
  while (deep.size() < 230) {
    deep += L"\\" + std::wstring(std::min<size_t>(60, 235 - deep.size()), L'd');
    CreateDirectoryW(comm::comm_LiteralPath(deep).c_str(), nullptr);
  }
  for (size_t length : {258u, 300u}) {
    const std::wstring longFile = deep + L"\\" + std::wstring(length - deep.size() - 5, L'f') + L".ini";
    ASSERT_EQ(longFile.size(), length);
    EXPECT_EQ(comm_ReplaceFileBytes(longFile, "first").Result, rpReplaced) << length;
    EXPECT_EQ(comm_ReplaceFileBytes(longFile, "second").Result, rpReplaced) << length;
    EXPECT_EQ(Content(comm::comm_LiteralPath(longFile)), "second") << length;
  }
  EXPECT_EQ(Names(deep).size(), 2u);
}

// A name Windows' rules trim is written where a read of the same name looks: "a.ini." is "a.ini",
// relative names are the current folder's, and no file with a trailing dot appears.
TEST(FileBytes, ReplacedNameFollowsTheRulesOfTheRead) {
  TempTree tree;
  EXPECT_EQ(comm_ReplaceFileBytes(tree.Root() + L"\\a.ini.", "dotted").Result, rpReplaced);
  EXPECT_EQ(Content(tree.Root() + L"\\a.ini"), "dotted");
  EXPECT_EQ(Names(tree.Root()), std::vector<std::wstring>{L"a.ini"});

  wchar_t previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(tree.Root().c_str()));
  const bool replaced = comm_ReplaceFileBytes(L"sub\\..\\a.ini", "relative").Result == rpReplaced;
  SetCurrentDirectoryW(previous);
  EXPECT_TRUE(replaced);
  EXPECT_EQ(Content(tree.Root() + L"\\a.ini"), "relative");
}

TEST(FileBytes, RefusedWritesLeaveTheOldFileWhole) {
  TempTree tree;
  const std::wstring file = tree.MakeFile(L"a.ini", "old");
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(comm_ReplaceFileBytes(file, "new").Result, rpFailed);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Content(file), "old");
  EXPECT_EQ(comm_ReplaceFileBytes(tree.MakeDir(L"folder.ini"), "new").Result, rpFailed);
  EXPECT_EQ(comm_ReplaceFileBytes(tree.Path(L"missing\\a.ini"), "new").Result, rpFailed);
  EXPECT_EQ(Names(tree.Root()), (std::vector<std::wstring>{L"a.ini", L"folder.ini"}));

  std::string bytes = "stale";
  EXPECT_EQ(comm_ReadFileBytes(tree.Path(L"missing.ini"), bytes).Result, rbMissing);
  EXPECT_EQ(comm_ReadFileBytes(tree.Path(L"folder.ini"), bytes).Result, rbMissing);  // no file there
  EXPECT_EQ(bytes, "");
}

TEST(FileBytes, AFileLargerThanTheReaderTakesIsRefusedAsTooLargeAtOnce) {
  TempTree tree;
  const std::wstring file = tree.MakeFile(L"a.hlp", "12345");
  std::string bytes;
  TReadBytesOutcome read = comm_ReadFileBytes(file, bytes, kFileHolderPatienceMs, 5);
  EXPECT_EQ(read.Result, rbRead);
  EXPECT_EQ(bytes, "12345");
  const ULONGLONG start = GetTickCount64();
  read = comm_ReadFileBytes(file, bytes, kFileHolderPatienceMs, 4);
  EXPECT_EQ(read.Result, rbUnreadable);
  EXPECT_EQ(read.Error, static_cast<DWORD>(ERROR_FILE_TOO_LARGE));
  EXPECT_FALSE(read.HolderOutwaited);
  EXPECT_LT(GetTickCount64() - start, kFileHolderPatienceMs / 2);  // no holder was waited for
  EXPECT_EQ(bytes, "");
  // Beyond the reader's own bound whatever the caller allows.
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = static_cast<LONGLONG>(kMaxReadBytes + 1);
  EXPECT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h));
  CloseHandle(h);
  EXPECT_EQ(comm_ReadFileBytes(file, bytes, kFileHolderPatienceMs, kMaxReadBytes + 2).Error,
            static_cast<DWORD>(ERROR_FILE_TOO_LARGE));
}

TEST(FileBytes, InPlaceWriteThatFailsPartWayPutsTheOldBytesBack) {
  TempTree tree;
  // A file with a second name is written in place: a replacement would part the names.
  const std::string old = "the old content, whole";
  const std::wstring file = tree.MakeFile(L"a.ini", old), link = tree.Path(L"b.ini");
  ASSERT_TRUE(CreateHardLinkW(link.c_str(), file.c_str(), nullptr));
  const std::string longer = "new content, longer than the old content was", shorter = "new";
  struct Case {
    std::string bytes;
    size_t failAfter;
  };
  // Failing after some of the new bytes, after none, and one byte short of all of them.
  for (const Case& c : {Case{longer, 5}, Case{longer, 0}, Case{longer, longer.size() - 1}, Case{shorter, 2}}) {
    SCOPED_TRACE(::testing::Message() << c.bytes.size() << " bytes, failing after " << c.failAfter);
    comm_FailNextInPlaceWriteAfter(c.failAfter);
    const TReplaceBytesOutcome out = comm_ReplaceFileBytes(file, c.bytes);
    EXPECT_EQ(out.Result, rpFailed);
    EXPECT_EQ(out.Error, DWORD{ERROR_DISK_FULL});
    EXPECT_EQ(Content(file), old);  // the old bytes, and no more of them: the length is put back too
    EXPECT_EQ(Content(link), old);
  }
  // Failing only after every byte is in is no failure; and the failure is used once.
  comm_FailNextInPlaceWriteAfter(shorter.size());
  EXPECT_EQ(comm_ReplaceFileBytes(file, shorter).Result, rpInPlace);
  EXPECT_EQ(Content(link), shorter);
  EXPECT_EQ(comm_ReplaceFileBytes(file, longer).Result, rpInPlace);
  EXPECT_EQ(Content(link), longer);
  EXPECT_EQ(Names(tree.Root()).size(), 2u);  // nothing left beside
}
