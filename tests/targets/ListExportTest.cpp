// The list export format in a file and on the clipboard: the bytes, the UTF-8 fallback, a clipboard
// that another program holds, and files that cannot be written.
#include "support/Clipboard.h"
#include "support/TempTree.h"
#include "targets/ListExport.h"
#include <gtest/gtest.h>
#include <thread>

using targets::TClipboardResult;

using testsupport::ReadFileBytes;

TEST(ListExport, ShiftJisLinesEachEndedByCrLfOrUtf8WithAMarkWhenANameHasNoShiftJisForm) {
  EXPECT_EQ(targets::ListExportBytes(std::vector<std::wstring>{}), "");
  // 表 is 0x95 0x5C in Shift-JIS: its second byte is the separator's, and stays as it is.
  EXPECT_EQ(targets::ListExportBytes({L"C:\\表\\a.txt", L"C:\\b"}), "C:\\\x95\x5C\\a.txt\r\nC:\\b\r\n");
  // One name outside Shift-JIS turns the whole file to UTF-8, every path whole.
  EXPECT_EQ(targets::ListExportBytes({L"C:\\表", L"C:\\한.txt"}),
            "\xEF\xBB\xBF" "C:\\\xE8\xA1\xA8\r\nC:\\\xED\x95\x9C.txt\r\n");

  testsupport::TempTree tree;
  const std::wstring file = tree.Path(L"list.txt");
  ASSERT_TRUE(targets::SaveListToFile(file, {L"C:\\表\\a.txt", L"C:\\b"}));
  EXPECT_EQ(ReadFileBytes(file), "C:\\\x95\x5C\\a.txt\r\nC:\\b\r\n");
  ASSERT_TRUE(targets::SaveListToFile(file, std::vector<std::wstring>{}));  // replaced, now empty
  EXPECT_EQ(ReadFileBytes(file), "");
}

TEST(ListExport, ASaveThatCannotBeWrittenFailsAndLeavesTheOldFile) {
  testsupport::TempTree tree;
  EXPECT_FALSE(targets::SaveListToFile(tree.Path(L"gone\\list.txt"), {L"C:\\a"}));  // folder removed meanwhile
  const std::wstring ro = tree.MakeFile(L"ro.txt", "old");
  ASSERT_TRUE(SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(targets::SaveListToFile(ro, {L"C:\\a"}));
  EXPECT_EQ(ReadFileBytes(ro), "old");
  SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ListExport, ClipboardGetsBothFormsOrStaysAsItWasWhenHeld) {
  ASSERT_EQ(targets::CopyListToClipboard(nullptr, {L"C:\\表", L"C:\\한.txt"}), TClipboardResult::Copied);
  EXPECT_EQ(testsupport::ClipboardUnicode(), L"C:\\表\r\nC:\\한.txt\r\n");
  EXPECT_EQ(testsupport::ClipboardBytes(), "C:\\\x95\x5C\r\nC:\\?.txt\r\n");

  // Another program holds the clipboard open: nothing is copied and what it held stays.
  testsupport::PutOnClipboard(nullptr, L"前の内容");
  HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr), release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    OpenClipboard(window);
    SetEvent(opened);
    WaitForSingleObject(release, 10000);
    CloseClipboard();
    DestroyWindow(window);
  });
  WaitForSingleObject(opened, 10000);
  EXPECT_EQ(targets::CopyListToClipboard(nullptr, {L"C:\\a"}), TClipboardResult::CannotOpen);
  SetEvent(release);
  holder.join();
  CloseHandle(opened);
  CloseHandle(release);
  EXPECT_EQ(testsupport::ClipboardUnicode(), L"前の内容");
}
