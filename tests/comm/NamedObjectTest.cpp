// Opening what a path names itself: links as links or not at all, names Windows' rules would trim.
#include "comm/FileAttr.h"
#include "comm/LiteralPath.h"
#include "comm/NamedObject.h"
#include "support/Links.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>

namespace {

comm::TOpenResult OpenResult(const std::wstring& path, DWORD* attr = nullptr) {
  comm::TOpenResult result = comm::orFailed;
  comm::TUniqueHandle h = comm::comm_OpenNamedObject(comm::comm_LiteralPath(path), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, result);
  EXPECT_EQ(h.Valid(), result == comm::orOpened);
  if (attr) *attr = h ? comm::comm_GetHandleAttr(h.Get()) : comm::kNoFileAttributes;
  return result;
}

}  // namespace

TEST(NamedObject, ALinkIsOpenedAsTheLinkOrNotAtAllAndALinkOnTheWayLeadsOn) {
  testsupport::TempTree tree;
  const std::wstring outFile = tree.MakeFile(L"outside\\file.txt"), inner = tree.MakeFile(L"outside\\dir\\inner.txt");
  tree.MakeDir(L"in");
  const std::wstring fileLink = tree.Path(L"in\\file link"), dirLink = tree.Path(L"in\\dir link");
  if (!testsupport::MakeSymbolicLink(fileLink, outFile, false) ||
      !testsupport::MakeSymbolicLink(dirLink, tree.Path(L"outside\\dir"), true)) {
    ASSERT_FALSE(testsupport::RunningOnWine()) << "Wine can always make a Unix link";
    GTEST_SKIP() << "this account cannot make symbolic links";
  }
  for (const auto& link : {fileLink, dirLink}) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(link));
    DWORD attr;
    const comm::TOpenResult result = OpenResult(link, &attr);
    if (testsupport::LinksOpenAsThemselves()) {
      EXPECT_EQ(result, comm::orOpened);
      EXPECT_TRUE(attr & FILE_ATTRIBUTE_REPARSE_POINT);
    } else {
      EXPECT_EQ(result, comm::orLinkFollowed);
    }
  }
  EXPECT_EQ(OpenResult(dirLink + L"\\inner.txt"), comm::orOpened);
  EXPECT_EQ(OpenResult(inner), comm::orOpened);
  EXPECT_EQ(OpenResult(tree.Path(L"in\\missing")), comm::orFailed);
}

TEST(NamedObject, ANameEndingInAPeriodIsItsOwnObjectUnlessItLinksToItsTrimmedTwin) {
  // Wine reports the handle of "a." under the name "a": the twin beside it must not be taken for it.
  testsupport::TempTree tree;
  const std::wstring twin = tree.MakeFile(L"a"), d = tree.MakeFile(L"d");
  comm::TUniqueHandle made(CreateFileW((L"\\\\?\\" + tree.Path(L"a.")).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  ASSERT_TRUE(made.Valid());
  made.Reset();
  EXPECT_EQ(OpenResult(tree.Path(L"a.")), comm::orOpened);
  EXPECT_EQ(OpenResult(twin), comm::orOpened);
  if (!testsupport::MakeSymbolicLink(tree.Path(L"d."), d, false)) GTEST_SKIP() << "no link can be made here";
  const comm::TOpenResult link = OpenResult(tree.Path(L"d."));
  EXPECT_EQ(link, testsupport::LinksOpenAsThemselves() ? comm::orOpened : comm::orLinkFollowed);
}
