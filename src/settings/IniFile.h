// The settings INI file: our own reader and writer of "[section]" and "key=value" lines in Shift-JIS.
#pragma once
#include "Base.h"
#include <string>
#include <string_view>

namespace settings {

// Each operation reads the file afresh and a write replaces it at once, so nothing is cached between
// calls and two objects on the same path always agree. Constructing one does not touch the file.
//
// Reading: lines end with LF (a CR before it is dropped); sections and keys match without regard to
// case and the first matching section is the one used; a value loses its surrounding blanks (space,
// tab, CR) and then one pair of enclosing '...' or "..." quotes, and is cut to at most kMaxValueBytes
// bytes at a character boundary. Lines starting with ";", lines without "=", a "[" without "]" and
// text before the first section are no keys; they are kept byte for byte when the file is rewritten.
//
// Writing: a key present is replaced where it stands (its name keeps its spelling); a new key goes
// after the last non-blank line of its section; a new section goes to the end of the file. New lines
// end with CR LF. The new content goes to a temporary file beside the INI that is then moved over it,
// so a failure leaves the old file whole. A failure raises ui::Error "<path> に書き込めません".
class TIniFile {
 public:
  static constexpr size_t kMaxValueBytes = 2047;

  explicit TIniFile(std::wstring fileName) : FFileName(std::move(fileName)) {}

  const std::wstring& FileName() const { return FFileName; }

  // The value of key in section, or defaultValue when the file, the section or the key is missing.
  std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue) const;
  // Line breaks in the texts are written as spaces: one write never adds lines other than its own.
  void WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // Removes the key's line; nothing is written when the key is not there.
  void DeleteKey(std::wstring_view section, std::wstring_view key);

 private:
  std::wstring FFileName;
};

}  // namespace settings
