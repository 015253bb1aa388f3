// The list export format in a file and on the clipboard: the bytes, the UTF-8 fallback, a clipboard
// that another program holds, and files that cannot be written.
#include "support/TempTree.h"
#include "targets/ListExport.h"
#include <gtest/gtest.h>
#include <thread>

using targets::TClipboardResult;

namespace {

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

template <typename T>
std::basic_string<T> ClipboardData(UINT format) {
  std::basic_string<T> out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(format)) {
    if (auto* p = static_cast<const T*>(GlobalLock(h))) {
      out = p;
      GlobalUnlock(h);
    }
  }
  CloseClipboard();
  return out;
}

void PutText(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);
  CloseClipboard();
}

}  // namespace

TEST(ListExport, ShiftJisLinesEachEndedByCrLfOrUtf8WithAMarkWhenANameHasNoShiftJisForm) {
  EXPECT_EQ(targets::ListExportBytes({}), "");
  // 表 is 0x95 0x5C in Shift-JIS: its second byte is the separator's, and stays as it is.
  EXPECT_EQ(targets::ListExportBytes({L"C:\\表\\a.txt", L"C:\\b"}), "C:\\\x95\x5C\\a.txt\r\nC:\\b\r\n");
  // One name outside Shift-JIS turns the whole file to UTF-8, every path whole.
  EXPECT_EQ(targets::ListExportBytes({L"C:\\表", L"C:\\한.txt"}),
            "\xEF\xBB\xBF" "C:\\\xE8\xA1\xA8\r\nC:\\\xED\x95\x9C.txt\r\n");

  testsupport::TempTree tree;
  const std::wstring file = tree.Path(L"list.txt");
  ASSERT_TRUE(targets::SaveListToFile(file, {L"C:\\表\\a.txt", L"C:\\b"}));
  EXPECT_EQ(ReadBytes(file), "C:\\\x95\x5C\\a.txt\r\nC:\\b\r\n");
  ASSERT_TRUE(targets::SaveListToFile(file, {}));  // replaced, now empty
  EXPECT_EQ(ReadBytes(file), "");
}

TEST(ListExport, ASaveThatCannotBeWrittenFailsAndLeavesTheOldFile) {
  testsupport::TempTree tree;
  EXPECT_FALSE(targets::SaveListToFile(tree.Path(L"gone\\list.txt"), {L"C:\\a"}));  // folder removed meanwhile
  const std::wstring ro = tree.MakeFile(L"ro.txt", "old");
  ASSERT_TRUE(SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(targets::SaveListToFile(ro, {L"C:\\a"}));
  EXPECT_EQ(ReadBytes(ro), "old");
  SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(ListExport, ClipboardGetsBothFormsOrStaysAsItWasWhenHeld) {
  ASSERT_EQ(targets::CopyListToClipboard(nullptr, {L"C:\\表", L"C:\\한.txt"}), TClipboardResult::Copied);
  EXPECT_EQ(ClipboardData<wchar_t>(CF_UNICODETEXT), L"C:\\表\r\nC:\\한.txt\r\n");
  EXPECT_EQ(ClipboardData<char>(CF_TEXT), "C:\\\x95\x5C\r\nC:\\?.txt\r\n");

  // Another program holds the clipboard open: nothing is copied and what it held stays.
  PutText(L"前の内容");
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
  EXPECT_EQ(ClipboardData<wchar_t>(CF_UNICODETEXT), L"前の内容");
}
