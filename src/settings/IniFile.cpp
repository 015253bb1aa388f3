// The settings INI file: our own reader and writer of "[section]" and "key=value" lines.
#include "settings/IniFile.h"
#include "comm/Cp932.h"
#include "comm/Utf8.h"
#include <vector>

namespace settings {

namespace {

enum class TEncoding { ShiftJis, Utf8, Utf16Le, Utf16Be };

// One line in the working form (the file's Shift-JIS bytes, or UTF-8 for a file with a byte-order
// mark) with its own line end ("\r\n", "\n", "\r", or none for a last line without one), so that
// lines we do not touch are written back exactly as they were.
struct TLine {
  std::string Text;
  std::string Eol;
};

struct TIniText {
  TEncoding Encoding = TEncoding::ShiftJis;
  std::vector<TLine> Lines;
};

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
  std::wstring wide(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    unsigned first = static_cast<unsigned char>(bytes[2 * i]), second = static_cast<unsigned char>(bytes[2 * i + 1]);
    wide[i] = static_cast<wchar_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  return comm::WideToUtf8(wide);
}

std::string Utf8ToUtf16Bytes(std::string_view utf8, bool bigEndian) {
  std::wstring wide = comm::Utf8ToWide(utf8);
  std::string bytes(wide.size() * 2, '\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    char high = static_cast<char>(wide[i] >> 8), low = static_cast<char>(wide[i] & 0xFF);
    bytes[2 * i] = bigEndian ? high : low;
    bytes[2 * i + 1] = bigEndian ? low : high;
  }
  return bytes;
}

// CR LF, LF and CR end lines. Neither byte is ever part of a Shift-JIS or UTF-8 character.
std::vector<TLine> SplitLines(std::string_view bytes) {
  std::vector<TLine> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back({std::string(bytes.substr(start)), ""});
      break;
    }
    size_t eolLength = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
    lines.push_back({std::string(bytes.substr(start, end - start)), std::string(bytes.substr(end, eolLength))});
    start = end + eolLength;
  }
  return lines;
}

TIniText Decode(std::string_view bytes) {
  TIniText text;
  if (bytes.starts_with(kUtf8Mark)) {
    text.Encoding = TEncoding::Utf8;
    text.Lines = SplitLines(bytes.substr(kUtf8Mark.size()));
  } else if (bytes.starts_with(kUtf16LeMark)) {
    text.Encoding = TEncoding::Utf16Le;
    text.Lines = SplitLines(Utf16BytesToUtf8(bytes.substr(kUtf16LeMark.size()), false));
  } else if (bytes.starts_with(kUtf16BeMark)) {
    text.Encoding = TEncoding::Utf16Be;
    text.Lines = SplitLines(Utf16BytesToUtf8(bytes.substr(kUtf16BeMark.size()), true));
  } else {
    text.Lines = SplitLines(bytes);
  }
  return text;
}

std::string Encode(const TIniText& text) {
  std::string body;
  size_t total = 0;
  for (const TLine& line : text.Lines) total += line.Text.size() + line.Eol.size();
  body.reserve(total);
  for (const TLine& line : text.Lines) {
    body += line.Text;
    body += line.Eol;
  }
  switch (text.Encoding) {
    case TEncoding::Utf8: return std::string(kUtf8Mark) + body;
    case TEncoding::Utf16Le: return std::string(kUtf16LeMark) + Utf8ToUtf16Bytes(body, false);
    case TEncoding::Utf16Be: return std::string(kUtf16BeMark) + Utf8ToUtf16Bytes(body, true);
    case TEncoding::ShiftJis: break;
  }
  return body;
}

// Character rules of the working form. "[", "]" and other ASCII bytes from 0x40 up can be the second
// byte of a Shift-JIS character, so the line syntax is looked for at character boundaries only;
// in UTF-8 every byte of a longer character is above 0x7F.
class TCharRules {
 public:
  explicit TCharRules(TEncoding encoding) : FShiftJis(encoding == TEncoding::ShiftJis) {}

  size_t Next(std::string_view s, size_t i) const {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (FShiftJis) return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < s.size() ? i + 2 : i + 1;
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    return i;
  }
  size_t Find(std::string_view s, char c) const {
    for (size_t i = 0; i < s.size(); i = Next(s, i))
      if (s[i] == c) return i;
    return std::string_view::npos;
  }
  size_t FindLast(std::string_view s, char c) const {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < s.size(); i = Next(s, i))
      if (s[i] == c) found = i;
    return found;
  }
  std::wstring ToWide(std::string_view s) const { return FShiftJis ? comm::Cp932ToWide(s) : comm::Utf8ToWide(s); }
  // The text in the working form; lost tells whether a character had no form in it.
  std::string FromWide(std::wstring_view text, bool& lost) const {
    bool used = false;
    std::string bytes = FShiftJis ? comm::WideToCp932(text, &used) : comm::WideToUtf8(text);
    lost = lost || used;
    return bytes;
  }

 private:
  bool FShiftJis;
};

// Blanks are single bytes that are never part of a longer character, so trimming bytes is safe.
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::wstring_view TrimName(std::wstring_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == L' ' || s[b] == L'\t')) ++b;
  while (e > b && (s[e - 1] == L' ' || s[e - 1] == L'\t')) --e;
  return s.substr(b, e - b);
}

enum class TLineKind { Other, Section, Key };

struct TParsedLine {
  TLineKind Kind = TLineKind::Other;
  std::string_view Name;   // section or key name, trimmed
  std::string_view Value;  // key value, trimmed
};

TParsedLine ParseLine(std::string_view line, const TCharRules& rules) {
  std::string_view t = Trim(line);
  if (t.empty() || t[0] == ';') return {};
  if (t[0] == '[') {
    size_t close = rules.FindLast(t, ']');
    if (close == std::string_view::npos) return {};
    return {TLineKind::Section, Trim(t.substr(1, close - 1)), {}};
  }
  size_t eq = rules.Find(t, '=');
  if (eq == std::string_view::npos) return {};
  return {TLineKind::Key, Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

bool SameName(std::string_view stored, std::wstring_view wanted, const TCharRules& rules) {
  std::wstring name = rules.ToWide(stored);
  return CompareStringOrdinal(name.data(), static_cast<int>(name.size()), wanted.data(), static_cast<int>(wanted.size()),
                              TRUE) == CSTR_EQUAL;
}

struct TLocation {
  bool SectionFound = false;
  size_t KeyLine = SIZE_MAX;      // the key's line, when present
  size_t LastFilled = SIZE_MAX;   // the section's header or its last non-blank line: a new key goes after it
};

// The key in the first section of that name; later sections of the same name are not searched.
// Both names come trimmed.
TLocation Locate(const TIniText& text, std::wstring_view section, std::wstring_view key) {
  const TCharRules rules(text.Encoding);
  TLocation at;
  for (size_t i = 0; i < text.Lines.size(); ++i) {
    TParsedLine parsed = ParseLine(text.Lines[i].Text, rules);
    if (parsed.Kind == TLineKind::Section) {
      if (at.SectionFound) break;
      if (SameName(parsed.Name, section, rules)) {
        at.SectionFound = true;
        at.LastFilled = i;
      }
      continue;
    }
    if (!at.SectionFound) continue;
    if (parsed.Kind == TLineKind::Key && SameName(parsed.Name, key, rules)) {
      at.KeyLine = i;
      break;
    }
    if (!Trim(text.Lines[i].Text).empty()) at.LastFilled = i;
  }
  return at;
}

std::wstring OneLine(std::wstring_view text) {
  std::wstring clean(text);
  for (wchar_t& c : clean)
    if (c == L'\r' || c == L'\n') c = L' ';
  return clean;
}

// A Shift-JIS file becomes UTF-8 with a mark, every line converted.
void ConvertToUtf8(TIniText& text) {
  for (TLine& line : text.Lines) line.Text = comm::WideToUtf8(comm::Cp932ToWide(line.Text));
  text.Encoding = TEncoding::Utf8;
}

// Gives the line before an insertion point a line end when it was the file's unterminated last line.
void Terminate(TLine& line) {
  if (line.Eol.empty()) line.Eol = "\r\n";
}

TSettingsOutcome WriteFailed(const std::wstring& path) { return TSettingsOutcome::Failed(path + L" に書き込めません"); }

}  // namespace

std::wstring TIniFile::ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue) const {
  FReadFailed = false;
  FHolderOutwaited = false;
  section = TrimName(section);
  key = TrimName(key);
  if (section.empty() || key.empty()) return std::wstring(defaultValue);
  std::string bytes;
  comm::TReadBytesOutcome read = comm::comm_ReadFileBytes(FFileName, bytes, FPatienceMs);
  FHolderOutwaited = read.HolderOutwaited;
  FReadFailed = read.Result == comm::rbUnreadable;
  if (read.Result != comm::rbRead) return std::wstring(defaultValue);

  const TIniText text = Decode(bytes);
  const TCharRules rules(text.Encoding);
  TLocation at = Locate(text, section, key);
  if (at.KeyLine == SIZE_MAX) return std::wstring(defaultValue);

  std::string_view value = ParseLine(text.Lines[at.KeyLine].Text, rules).Value;
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  if (value.size() > kMaxValueBytes) {
    // Cut at the last character boundary within the limit, never inside a character.
    size_t cut = 0;
    while (cut < value.size()) {
      size_t next = rules.Next(value, cut);
      if (next > kMaxValueBytes) break;
      cut = next;
    }
    value = value.substr(0, cut);
  }
  return rules.ToWide(value);
}

size_t TIniFile::LineCount() const {
  std::string bytes;
  comm::TReadBytesOutcome read = comm::comm_ReadFileBytes(FFileName, bytes, FPatienceMs);
  FHolderOutwaited = read.HolderOutwaited;
  FReadFailed = read.Result == comm::rbUnreadable;
  return read.Result == comm::rbRead ? Decode(bytes).Lines.size() : 0;
}

namespace {

// Reads the file for a change; a file that exists but cannot be read is not overwritten.
bool LoadForChange(const std::wstring& path, DWORD patienceMs, bool& existed, std::string& original, bool& outwaited,
                   TIniText& text) {
  comm::TReadBytesOutcome read = comm::comm_ReadFileBytes(path, original, patienceMs);
  outwaited = read.HolderOutwaited;
  if (read.Result == comm::rbUnreadable) return false;
  existed = read.Result == comm::rbRead;
  text = Decode(original);
  return true;
}

TSettingsOutcome Save(const std::wstring& path, const std::string& bytes, DWORD patienceMs, bool& outwaited) {
  comm::TReplaceBytesOutcome saved = comm::comm_ReplaceFileBytes(path, bytes, patienceMs);
  outwaited = outwaited || saved.HolderOutwaited;
  if (saved.Result == comm::rpFailed) return WriteFailed(path);
  return {};
}

}  // namespace

TSettingsOutcome TIniFile::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  FHolderOutwaited = false;
  const std::wstring sectionName(TrimName(OneLine(section))), keyName(TrimName(OneLine(key))), valueText = OneLine(value);
  if (sectionName.empty() || keyName.empty()) return {};
  bool existed = false;
  std::string original;
  TIniText text;
  if (!LoadForChange(FFileName, FPatienceMs, existed, original, FHolderOutwaited, text)) return WriteFailed(FFileName);

  std::string sectionBytes, keyBytes, valueBytes;
  auto encodeTexts = [&] {
    const TCharRules rules(text.Encoding);
    bool lost = false;
    sectionBytes = rules.FromWide(sectionName, lost);
    keyBytes = rules.FromWide(keyName, lost);
    valueBytes = rules.FromWide(valueText, lost);
    return lost;
  };
  // A character without a Shift-JIS form would become "?": the file goes over to UTF-8 instead.
  if (encodeTexts()) {
    ConvertToUtf8(text);
    encodeTexts();
  }

  TLocation at = Locate(text, sectionName, keyName);
  std::vector<TLine>& lines = text.Lines;
  if (at.KeyLine != SIZE_MAX) {
    TLine& line = lines[at.KeyLine];
    line.Text = std::string(ParseLine(line.Text, TCharRules(text.Encoding)).Name) + "=" + valueBytes;
  } else if (at.SectionFound) {
    Terminate(lines[at.LastFilled]);
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(at.LastFilled) + 1, TLine{keyBytes + "=" + valueBytes, "\r\n"});
  } else {
    if (!lines.empty()) Terminate(lines.back());
    lines.push_back({"[" + sectionBytes + "]", "\r\n"});
    lines.push_back({keyBytes + "=" + valueBytes, "\r\n"});
  }

  std::string bytes = Encode(text);
  if (existed && bytes == original) return {};
  return Save(FFileName, bytes, FPatienceMs, FHolderOutwaited);
}

TSettingsOutcome TIniFile::DeleteKey(std::wstring_view section, std::wstring_view key) {
  FHolderOutwaited = false;
  section = TrimName(section);
  key = TrimName(key);
  if (section.empty() || key.empty()) return {};
  bool existed = false;
  std::string original;
  TIniText text;
  if (!LoadForChange(FFileName, FPatienceMs, existed, original, FHolderOutwaited, text)) return WriteFailed(FFileName);
  TLocation at = Locate(text, section, key);
  if (at.KeyLine == SIZE_MAX) return {};
  text.Lines.erase(text.Lines.begin() + static_cast<ptrdiff_t>(at.KeyLine));
  return Save(FFileName, Encode(text), FPatienceMs, FHolderOutwaited);
}

}  // namespace settings
