// Opening what a path names itself: plain objects, links, names Windows' rules would trim, roots.
#include "comm/FileAttr.h"
#include "comm/LiteralPath.h"
#include "comm/NamedObject.h"
#include "support/Links.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

comm::TOpenResult OpenResult(const std::wstring& path, comm::TFolderNameCache* cache = nullptr) {
  comm::TOpenResult result = comm::orFailed;
  comm::UniqueHandle h = comm_OpenNamedObject(comm_LiteralPath(path), FILE_READ_ATTRIBUTES, kShareAll, result, cache);
  EXPECT_EQ(h.Valid(), result == comm::orOpened);
  return result;
}

}  // namespace

TEST(NamedObject, PlainFilesFoldersAndRootsOpenAsThemselves) {
  testsupport::TempTree tree;
  const std::wstring f = tree.MakeFile(L"d\\f.txt");
  comm::TFolderNameCache cache;
  EXPECT_EQ(OpenResult(f, &cache), comm::orOpened);
  EXPECT_EQ(OpenResult(tree.Path(L"d"), &cache), comm::orOpened);
  EXPECT_EQ(OpenResult(tree.Path(L"d\\"), &cache), comm::orOpened);
  EXPECT_EQ(OpenResult(tree.Root().substr(0, 3)), comm::orOpened);  // "C:\"
  EXPECT_EQ(OpenResult(tree.Path(L"d\\missing.txt"), &cache), comm::orFailed);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(NamedObject, ALinkIsOpenedAsTheLinkOrNotAtAll) {
  testsupport::TempTree tree;
  const std::wstring outFile = tree.MakeFile(L"outside\\file.txt"), outDir = tree.MakeDir(L"outside\\dir");
  tree.MakeDir(L"in");
  const std::wstring fileLink = tree.Path(L"in\\file link"), dirLink = tree.Path(L"in\\dir link");
  if (!testsupport::MakeSymbolicLink(fileLink, outFile, false) || !testsupport::MakeSymbolicLink(dirLink, outDir, true)) {
    ASSERT_FALSE(testsupport::RunningOnWine()) << "Wine can always make a Unix link";
    GTEST_SKIP() << "this account cannot make symbolic links";
  }
  for (const auto& link : {fileLink, dirLink}) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(link));
    comm::TOpenResult result;
    comm::UniqueHandle h = comm_OpenNamedObject(comm_LiteralPath(link), FILE_READ_ATTRIBUTES, kShareAll, result);
    if (testsupport::LinksOpenAsThemselves()) {
      ASSERT_EQ(result, comm::orOpened);
      EXPECT_TRUE(comm_GetHandleAttr(h.Get()) & FILE_ATTRIBUTE_REPARSE_POINT);
    } else {
      EXPECT_EQ(result, comm::orLinkFollowed);
      EXPECT_FALSE(h.Valid());
    }
  }
  // A link on the way to an object leads to it: the object itself is what the path names.
  const std::wstring inner = tree.MakeFile(L"outside\\dir\\inner.txt");
  EXPECT_EQ(OpenResult(dirLink + L"\\inner.txt"), comm::orOpened);
  EXPECT_EQ(OpenResult(inner), comm::orOpened);
}

TEST(NamedObject, NamesEndingInAPeriodOpenAsThemselvesBesideTheirTrimmedTwin) {
  testsupport::TempTree tree;
  const std::wstring twin = tree.MakeFile(L"a");
  for (const wchar_t* name : {L"a.", L"b ", L"c.."}) {
    comm::UniqueHandle made(CreateFileW((L"\\\\?\\" + tree.Path(name)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        0, nullptr));
    ASSERT_TRUE(made.Valid());
  }
  comm::TFolderNameCache cache;
  for (const wchar_t* name : {L"a.", L"b ", L"c..", L"a"}) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(name)));
    comm::TOpenResult result;
    comm::UniqueHandle h =
        comm_OpenNamedObject(comm_LiteralPath(tree.Path(name)), FILE_READ_ATTRIBUTES, kShareAll, result, &cache);
    ASSERT_EQ(result, comm::orOpened);
    // The handle is the file of that name: hidden set through it shows on that name only.
    ASSERT_TRUE(comm_SetHandleAttr(h.Get(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(GetFileAttributesW((L"\\\\?\\" + tree.Path(name)).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    if (std::wstring(name) != L"a") {
      EXPECT_FALSE(GetFileAttributesW(twin.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    }
  }
  // A link "d." that leads to its trimmed twin "d" is a link all the same.
  const std::wstring d = tree.MakeFile(L"d");
  if (!testsupport::MakeSymbolicLink(tree.Path(L"d."), d, false)) GTEST_SKIP() << "no link can be made here";
  if (!testsupport::LinksOpenAsThemselves()) {
    EXPECT_EQ(OpenResult(tree.Path(L"d.")), comm::orLinkFollowed);
  }
}
