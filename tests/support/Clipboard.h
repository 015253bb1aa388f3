// The clipboard as a test sets and reads it.
#pragma once
#include "Base.h"
#include <string>

namespace testsupport {

// Replaces the clipboard's content with the text (CF_UNICODETEXT).
void PutOnClipboard(HWND owner, const std::wstring& text);
// The clipboard's text in a format: CF_UNICODETEXT, or the bytes of CF_TEXT widened one to one.
std::wstring ClipboardUnicode();
std::string ClipboardBytes();

}  // namespace testsupport
