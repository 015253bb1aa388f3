// Splitting a text at any of a set of delimiter characters.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace comm {

// Clears list and fills it with the pieces of text between delimiters; returns how many were added.
// Consecutive and leading delimiters add empty pieces, a trailing delimiter adds none. Works on
// UTF-16 characters, so a double-byte character's second byte is never taken for a delimiter.
int comm_StrSplit(std::wstring_view text, std::wstring_view delimiters, std::vector<std::wstring>& list);

}  // namespace comm
