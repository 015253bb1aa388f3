// The settings INI file: our own reader and writer of "[section]" and "key=value" lines in Shift-JIS.
#include "settings/IniFile.h"
#include "comm/Cp932.h"
#include "ui/Error.h"
#include <vector>

namespace settings {

namespace {

// A file handle closed with CloseHandle.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE h = INVALID_HANDLE_VALUE) : FHandle(h) {}
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  ~TFileHandle() { Reset(); }
  HANDLE Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != INVALID_HANDLE_VALUE; }
  void Reset(HANDLE h = INVALID_HANDLE_VALUE) {
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
    FHandle = h;
  }

 private:
  HANDLE FHandle;
};

// The file's lines as raw bytes, each with its own line end ("\r\n", "\n", or none for a last line
// without one), so that lines we do not touch are written back exactly as they were.
struct TLine {
  std::string Text;
  std::string Eol;
};

// Larger files are not settings files; reading one is refused rather than risking memory.
constexpr LONGLONG kMaxFileBytes = 256LL << 20;

enum class TLoadResult { Ok, Missing, Failed };

TLoadResult LoadBytes(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? TLoadResult::Missing : TLoadResult::Failed;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > kMaxFileBytes) return TLoadResult::Failed;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) return TLoadResult::Failed;
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return TLoadResult::Ok;
}

std::vector<TLine> SplitLines(const std::string& bytes) {
  std::vector<TLine> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    if (lf == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    size_t end = lf;
    bool cr = end > start && bytes[end - 1] == '\r';
    if (cr) --end;
    lines.push_back({bytes.substr(start, end - start), cr ? "\r\n" : "\n"});
    start = lf + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<TLine>& lines) {
  std::string bytes;
  size_t total = 0;
  for (const TLine& line : lines) total += line.Text.size() + line.Eol.size();
  bytes.reserve(total);
  for (const TLine& line : lines) {
    bytes += line.Text;
    bytes += line.Eol;
  }
  return bytes;
}

// Shift-JIS lead bytes. "[", "]" and other ASCII bytes from 0x40 up can be the second byte of a
// double-byte character, so the line syntax is looked for at character boundaries only.
bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

size_t NextChar(std::string_view s, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? i + 2 : i + 1;
}

size_t FindChar(std::string_view s, char c) {
  for (size_t i = 0; i < s.size(); i = NextChar(s, i))
    if (s[i] == c) return i;
  return std::string_view::npos;
}

size_t FindLastChar(std::string_view s, char c) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < s.size(); i = NextChar(s, i))
    if (s[i] == c) found = i;
  return found;
}

// Blanks are single bytes that are never the second byte of a character, so trimming bytes is safe.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

enum class TLineKind { Other, Section, Key };

struct TParsedLine {
  TLineKind Kind = TLineKind::Other;
  std::string_view Name;   // section or key name, trimmed
  std::string_view Value;  // key value, trimmed
};

TParsedLine ParseLine(std::string_view line) {
  std::string_view t = Trim(line);
  if (t.empty() || t[0] == ';') return {};
  if (t[0] == '[') {
    size_t close = FindLastChar(t, ']');
    if (close == std::string_view::npos) return {};
    return {TLineKind::Section, Trim(t.substr(1, close - 1)), {}};
  }
  size_t eq = FindChar(t, '=');
  if (eq == std::string_view::npos) return {};
  return {TLineKind::Key, Trim(t.substr(0, eq)), Trim(t.substr(eq + 1))};
}

bool SameName(std::string_view stored, std::wstring_view wanted) {
  std::wstring name = comm::Cp932ToWide(stored);
  return CompareStringOrdinal(name.data(), static_cast<int>(name.size()), wanted.data(), static_cast<int>(wanted.size()),
                              TRUE) == CSTR_EQUAL;
}

struct TLocation {
  bool SectionFound = false;
  size_t KeyLine = SIZE_MAX;      // the key's line, when present
  size_t LastFilled = SIZE_MAX;   // the section's header or its last non-blank line: a new key goes after it
};

// The key in the first section of that name; later sections of the same name are not searched.
TLocation Locate(const std::vector<TLine>& lines, std::wstring_view section, std::wstring_view key) {
  TLocation at;
  for (size_t i = 0; i < lines.size(); ++i) {
    TParsedLine parsed = ParseLine(lines[i].Text);
    if (parsed.Kind == TLineKind::Section) {
      if (at.SectionFound) break;
      if (SameName(parsed.Name, section)) {
        at.SectionFound = true;
        at.LastFilled = i;
      }
      continue;
    }
    if (!at.SectionFound) continue;
    if (parsed.Kind == TLineKind::Key && SameName(parsed.Name, key)) {
      at.KeyLine = i;
      break;
    }
    if (!Trim(lines[i].Text).empty()) at.LastFilled = i;
  }
  return at;
}

std::string ToFileText(std::wstring_view text) {
  std::wstring clean(text);
  for (wchar_t& c : clean)
    if (c == L'\r' || c == L'\n') c = L' ';
  return comm::WideToCp932(clean);
}

// Gives the line before an insertion point a line end when it was the file's unterminated last line.
void Terminate(TLine& line) {
  if (line.Eol.empty()) line.Eol = "\r\n";
}

[[noreturn]] void RaiseWriteError(const std::wstring& path) { throw ui::Error(path + L" に書き込めません"); }

// Writes the bytes to a new file beside the INI and moves it over the INI, so a failure at any point
// leaves the previous file untouched.
void SaveBytes(const std::wstring& path, const std::string& bytes) {
  DWORD oldAttributes = GetFileAttributesW(path.c_str());
  // A read-only file is not ours to replace (the move below would not ask).
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    RaiseWriteError(path);

  static unsigned counter = 0;
  std::wstring tempPath;
  TFileHandle temp;
  for (int attempt = 0; attempt < 100 && !temp; ++attempt) {
    wchar_t suffix[48];
    swprintf(suffix, 48, L".~%lx-%x.tmp", static_cast<unsigned long>(GetCurrentProcessId()), ++counter);
    tempPath = path + suffix;
    temp.Reset(CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!temp && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  if (!temp) RaiseWriteError(path);

  bool written = true;
  for (size_t done = 0; written && done < bytes.size();) {
    DWORD put = 0;
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    written = WriteFile(temp.Get(), bytes.data() + done, want, &put, nullptr) && put == want;
    done += put;
  }
  written = written && FlushFileBuffers(temp.Get());
  temp.Reset();
  if (!written || !MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(tempPath.c_str());
    RaiseWriteError(path);
  }
  // The replacement is a new file: give it back the hidden or system mark the user had set.
  if (oldAttributes != INVALID_FILE_ATTRIBUTES && (oldAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
    SetFileAttributesW(path.c_str(), oldAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
}

// Reads the file for a change; a file that exists but cannot be read is not overwritten.
std::vector<TLine> LoadForChange(const std::wstring& path, bool& existed, std::string& original) {
  TLoadResult result = LoadBytes(path, original);
  if (result == TLoadResult::Failed) RaiseWriteError(path);
  existed = result == TLoadResult::Ok;
  return SplitLines(original);
}

}  // namespace

std::wstring TIniFile::ReadString(std::wstring_view section, std::wstring_view key, std::wstring_view defaultValue) const {
  std::string bytes;
  if (LoadBytes(FFileName, bytes) != TLoadResult::Ok) return std::wstring(defaultValue);
  std::vector<TLine> lines = SplitLines(bytes);
  TLocation at = Locate(lines, section, key);
  if (at.KeyLine == SIZE_MAX) return std::wstring(defaultValue);

  std::string_view value = ParseLine(lines[at.KeyLine].Text).Value;
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  if (value.size() > kMaxValueBytes) {
    // Cut at the last character boundary within the limit, never inside a double-byte character.
    size_t cut = 0;
    while (cut < value.size()) {
      size_t next = NextChar(value, cut);
      if (next > kMaxValueBytes) break;
      cut = next;
    }
    value = value.substr(0, cut);
  }
  return comm::Cp932ToWide(value);
}

void TIniFile::WriteString(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  bool existed = false;
  std::string original;
  std::vector<TLine> lines = LoadForChange(FFileName, existed, original);
  TLocation at = Locate(lines, section, key);
  std::string valueText = ToFileText(value);

  if (at.KeyLine != SIZE_MAX) {
    TLine& line = lines[at.KeyLine];
    line.Text = std::string(ParseLine(line.Text).Name) + "=" + valueText;
  } else if (at.SectionFound) {
    Terminate(lines[at.LastFilled]);
    lines.insert(lines.begin() + static_cast<ptrdiff_t>(at.LastFilled) + 1, TLine{ToFileText(key) + "=" + valueText, "\r\n"});
  } else {
    if (!lines.empty()) Terminate(lines.back());
    lines.push_back({"[" + ToFileText(section) + "]", "\r\n"});
    lines.push_back({ToFileText(key) + "=" + valueText, "\r\n"});
  }

  std::string bytes = JoinLines(lines);
  if (existed && bytes == original) return;
  SaveBytes(FFileName, bytes);
}

void TIniFile::DeleteKey(std::wstring_view section, std::wstring_view key) {
  bool existed = false;
  std::string original;
  std::vector<TLine> lines = LoadForChange(FFileName, existed, original);
  TLocation at = Locate(lines, section, key);
  if (at.KeyLine == SIZE_MAX) return;
  lines.erase(lines.begin() + static_cast<ptrdiff_t>(at.KeyLine));
  SaveBytes(FFileName, JoinLines(lines));
}

}  // namespace settings
