// The settings INI file: our own reader and writer of "[section]" and "key=value" lines.
#pragma once
#include "Base.h"
#include "comm/FileBytes.h"
#include "settings/SettingsOutcome.h"
#include <string>
#include <string_view>

namespace settings {

// Each operation reads the file afresh and a write replaces it at once, so nothing is cached between
// calls and two objects on the same path always agree. Constructing one does not touch the file.
//
// Encoding: a file that starts with a UTF-8 or UTF-16 (little or big endian) byte-order mark is read
// in that encoding and written back in it, mark included; any other file is Shift-JIS, and lines a
// write does not touch keep their bytes. A write whose text has no Shift-JIS form turns a Shift-JIS
// file (or the new file) into UTF-8 with a mark rather than lose a character.
//
// Reading: CR LF, LF and CR each end a line; sections and keys match without regard to case, with
// blanks (space, tab) around the stored and the wanted names alike ignored, and the first matching
// section is the one used; a value loses its surrounding blanks and then one pair of enclosing '...'
// or "..." quotes, and is cut to at most kMaxValueBytes bytes (of its Shift-JIS form, or of its
// UTF-8 form in a file with a mark) at a character boundary. Lines starting with ";", lines without
// "=", a "[" without "]" and text before the first section are no keys; they are kept as they are
// when the file is rewritten. A name that is empty once trimmed is never found and never written.
//
// Writing: a key present is replaced where it stands (its name keeps its spelling); a new key goes
// after the last non-blank line of its section; a new section goes to the end of the file. New lines
// end with CR LF. The file is replaced through comm_ReplaceFileBytes (crash-safe, keeping the file's
// identity, in place where it cannot be replaced). A file that exists but cannot be read is never
// written. A failure returns "<path> に書き込めません" and leaves the file as it was.
class TIniFile {
 public:
  static constexpr size_t kMaxValueBytes = 2047;

  explicit TIniFile(std::wstring fileName) : FFileName(std::move(fileName)) {}

  const std::wstring& FileName() const { return FFileName; }

  // How long an operation waits for another program that holds the file (see comm_ReadFileBytes).
  void SetPatience(DWORD ms) { FPatienceMs = ms; }

  // The value of key in section, or defaultValue when the file, the section or the key is missing,
  // or the file cannot be read (then LastReadFailed tells so).
  std::wstring ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue) const;
  // Line breaks in the texts are written as spaces: one write never adds lines other than its own.
  TSettingsOutcome WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  // Removes the key's line; nothing is written when the key is not there.
  TSettingsOutcome DeleteKey(std::wstring_view section, std::wstring_view key);
  // The number of lines of the file (0 when it is missing or cannot be read): no list stored in it
  // can have more entries.
  size_t LineCount() const;

  // The last read found a file at the path that it could not read.
  bool LastReadFailed() const { return FReadFailed; }
  // The last operation gave up waiting for a program that held the file.
  bool HolderOutwaited() const { return FHolderOutwaited; }

 private:
  std::wstring FFileName;
  DWORD FPatienceMs = comm::kFileHolderPatienceMs;
  mutable bool FReadFailed = false;
  mutable bool FHolderOutwaited = false;
};

}  // namespace settings
