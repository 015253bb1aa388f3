// The clipboard as a test sets and reads it.
#include "support/Clipboard.h"
#include <gtest/gtest.h>
#include <cstring>

namespace testsupport {

void PutOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);
  CloseClipboard();
}

namespace {
template <typename T>
std::basic_string<T> Read(UINT format) {
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
}  // namespace

std::wstring ClipboardUnicode() { return Read<wchar_t>(CF_UNICODETEXT); }
std::string ClipboardBytes() { return Read<char>(CF_TEXT); }

}  // namespace testsupport
