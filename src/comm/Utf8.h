// Conversion between UTF-16 and UTF-8, the form of text files that carry a UTF-8 byte-order mark.
#pragma once
#include "Base.h"
#include <string>
#include <string_view>

namespace comm {

// UTF-8 bytes to UTF-16; an invalid sequence becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view bytes);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string WideToUtf8(std::wstring_view text);
// The same, appended to out (no string of its own: a console's output converts line by line).
void AppendUtf8(std::string& out, std::wstring_view text);

}  // namespace comm
