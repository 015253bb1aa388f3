// Conversion between UTF-16 and code page 932 (Shift-JIS), the encoding of the program's byte formats.
#pragma once
#include "Base.h"
#include <string>
#include <string_view>

namespace comm {

constexpr UINT kCodePage932 = 932;

// Shift-JIS bytes to UTF-16. Invalid sequences become the code page's default character.
std::wstring Cp932ToWide(std::string_view bytes);
// UTF-16 to Shift-JIS bytes. Characters without a Shift-JIS form become "?"; usedDefault (if given)
// tells whether that happened.
std::string WideToCp932(std::wstring_view text, bool* usedDefault = nullptr);

}  // namespace comm
