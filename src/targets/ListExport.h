// The list export format, and the two places it goes: a file and the clipboard.
#pragma once
#include "Base.h"
#include "targets/TargetList.h"
#include <string>
#include <vector>

namespace targets {

// Every entry followed by CR LF, nothing else. Shift-JIS without a mark; where an entry has no
// Shift-JIS form (a name with characters outside it), the whole text is UTF-8 with a byte-order mark,
// so that no path is lost.
std::string ListExportBytes(const std::vector<std::wstring>& entries);
std::string ListExportBytes(const TTargetList& entries);

enum class TClipboardResult { Copied, CannotOpen, Failed };
// Puts the entries on the clipboard in the export format: CF_TEXT in Shift-JIS and, beside it,
// CF_UNICODETEXT, which keeps every path whole. The clipboard is unchanged when it cannot be opened.
TClipboardResult CopyListToClipboard(HWND owner, const std::vector<std::wstring>& entries);
TClipboardResult CopyListToClipboard(HWND owner, const TTargetList& entries);

// Writes the entries to a file in the export format, replacing it safely; false when the file could
// not be created or written (the previous file, if any, is then as it was).
bool SaveListToFile(const std::wstring& path, const std::vector<std::wstring>& entries);
bool SaveListToFile(const std::wstring& path, const TTargetList& entries);

}  // namespace targets
