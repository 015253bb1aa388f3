// Small text rules for paths: the separator and the trailing separator, on UTF-16 characters.
#pragma once
#include <string>
#include <string_view>

namespace comm {

constexpr wchar_t kPathSeparator = L'\\';

// In UTF-16 a "\" is always a character of its own: the second byte of a Shift-JIS character such
// as 表 (0x95 0x5C) or ソ (0x83 0x5C) never shows up here as a separator.
inline bool EndsWithSeparator(std::wstring_view path) { return !path.empty() && path.back() == kPathSeparator; }

// The path without one trailing separator, if it has one.
inline std::wstring_view DropTrailingSeparator(std::wstring_view path) {
  return EndsWithSeparator(path) ? path.substr(0, path.size() - 1) : path;
}

}  // namespace comm
