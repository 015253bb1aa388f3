// Literal path forms: the root in "\\?\" form and the names below it, resolved but never trimmed.
#include "comm/LiteralPath.h"
#include "Base.h"
#include <vector>

namespace comm {

namespace {

constexpr std::wstring_view kLiteral = L"\\\\?\\";
constexpr std::wstring_view kLiteralUnc = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevice = L"\\\\.\\";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool StartsWith(std::wstring_view s, std::wstring_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The next component of rest (up to a separator), moving rest past it and its separators.
std::wstring_view NextComponent(std::wstring_view& rest) {
  size_t i = 0;
  while (i < rest.size() && !IsSeparator(rest[i])) ++i;
  const std::wstring_view part = rest.substr(0, i);
  while (i < rest.size() && IsSeparator(rest[i])) ++i;
  rest.remove_prefix(i);
  return part;
}

// A path split into its root in literal form (ending with "\") and the names below the root.
struct Parsed {
  std::wstring root;
  std::vector<std::wstring_view> names;
  bool ok = false;
};

// Resolves "." and ".." (never above the root) and empty components of rest onto names.
void AddNames(std::wstring_view rest, std::vector<std::wstring_view>& names) {
  while (!rest.empty()) {
    const std::wstring_view part = NextComponent(rest);
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    names.push_back(part);
  }
}

// Parses an absolute path: "X:\…" or "\\server\share\…" (either separator). False for anything else.
bool ParseAbsolute(std::wstring_view path, Parsed& out) {
  if (path.size() >= 3 && IsLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
    out.root.assign(kLiteral);
    out.root += path[0];
    out.root += L":\\";
    AddNames(path.substr(3), out.names);
    return out.ok = true;
  }
  if (path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
    std::wstring_view rest = path.substr(2);
    const std::wstring_view server = NextComponent(rest);
    const std::wstring_view share = NextComponent(rest);
    if (server.empty() || server == L"." || server == L"?" || share.empty()) return false;
    out.root.assign(kLiteralUnc);
    out.root.append(server);
    out.root += L'\\';
    out.root.append(share);
    out.root += L'\\';
    AddNames(rest, out.names);
    return out.ok = true;
  }
  return false;
}

// "X:\a\b" with nothing to resolve: no "/", no empty, "." or ".." component, no trailing separator.
bool IsPlainDrivePath(std::wstring_view path) {
  if (path.size() < 4 || !IsLetter(path[0]) || path[1] != L':' || path[2] != L'\\') return false;
  size_t start = 3;
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i < path.size() && path[i] == L'/') return false;
    if (i == path.size() || path[i] == L'\\') {
      const std::wstring_view part = path.substr(start, i - start);
      if (part.empty() || part == L"." || part == L"..") return false;
      start = i + 1;
    }
  }
  return true;
}

// Parses any path that is not literal already. A relative path is joined to the folder it is relative
// to: only that folder goes through the system's full-path rules, the names given are kept as they are.
Parsed Parse(std::wstring_view path, std::wstring& storage) {
  Parsed out;
  if (ParseAbsolute(path, out)) return out;
  std::wstring base;
  std::wstring_view rest;
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == L':') {  // "C:name": the current folder of drive C
    const wchar_t drive[] = {path[0], L':', L'.', 0};
    base = comm_FullPathName(drive);
    rest = path.substr(2);
  } else if (!path.empty() && IsSeparator(path[0])) {  // "\name": the root of the current drive
    base = comm_FullPathName(L"\\");
    rest = path.substr(1);
  } else {
    base = comm_FullPathName(L".");
    rest = path;
  }
  if (base.empty()) return out;
  storage = std::move(base);
  storage += L'\\';
  storage.append(rest);
  ParseAbsolute(storage, out);
  return out;
}

std::wstring Join(const Parsed& p) {
  std::wstring out = p.root;
  for (size_t i = 0; i < p.names.size(); ++i) {
    if (i > 0) out += L'\\';
    out.append(p.names[i]);
  }
  return out;
}

// A path in "\\?\" form already: its root, if it is one of the two forms this program makes.
bool LiteralIsRoot(std::wstring_view lit) {
  if (StartsWith(lit, kLiteralUnc)) {
    std::wstring_view rest = lit.substr(kLiteralUnc.size());
    if (!rest.empty() && rest.back() == L'\\') rest.remove_suffix(1);
    const size_t cut = rest.find(L'\\');
    return cut != std::wstring_view::npos && cut > 0 && cut + 1 < rest.size() &&
           rest.find(L'\\', cut + 1) == std::wstring_view::npos;
  }
  // "\\?\C:\" is the root folder; "\\?\C:" is the volume itself, not a folder.
  return lit.size() == kLiteral.size() + 3 && IsLetter(lit[kLiteral.size()]) && lit[kLiteral.size() + 1] == L':' &&
         lit[kLiteral.size() + 2] == L'\\';
}

}  // namespace

std::wstring comm_LiteralPath(std::wstring_view path) {
  if (path.empty()) return {};  // names nothing, not the current folder
  if (StartsWith(path, kLiteral)) {
    std::wstring out(path);
    if (out.size() > kLiteral.size() && out.back() == L'\\' && !LiteralIsRoot(out)) out.pop_back();
    return out;
  }
  if (StartsWith(path, kDevice)) return std::wstring(path);
  if (IsPlainDrivePath(path)) {  // the common case, made in one piece
    std::wstring out;
    out.reserve(kLiteral.size() + path.size());
    out.append(kLiteral);
    out.append(path);
    return out;
  }
  std::wstring storage;
  const Parsed p = Parse(path, storage);
  if (!p.ok) return std::wstring(path);
  return Join(p);
}

std::wstring comm_PathKey(std::wstring_view path) {
  // A key is made from the text alone: a relative path ("C:", "a.txt") stays as it is, since what it
  // names depends on the current folder of the moment.
  if (IsPlainDrivePath(path)) return std::wstring(path);  // the common case: its own key
  Parsed parsed;
  if (!StartsWith(path, kLiteral) && !ParseAbsolute(path, parsed)) return std::wstring(path);
  std::wstring lit = parsed.ok ? Join(parsed) : comm_LiteralPath(path);
  if (StartsWith(lit, kLiteralUnc)) return L"\\\\" + lit.substr(kLiteralUnc.size());
  if (StartsWith(lit, kLiteral) && lit.size() >= kLiteral.size() + 2 && lit[kLiteral.size() + 1] == L':')
    return lit.substr(kLiteral.size());
  return lit;
}

std::wstring comm_FullPathName(const std::wstring& path) {
  const DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0) return {};
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return {};
  full.resize(got);
  return full;
}

std::wstring comm_AbsolutePath(std::wstring_view path) {
  if (path.empty()) return {};
  return comm_PathKey(comm_LiteralPath(path));
}

bool comm_IsRootPath(std::wstring_view path) {
  if (StartsWith(path, kLiteral)) return LiteralIsRoot(path);
  Parsed p;
  return ParseAbsolute(path, p) && p.names.empty();
}

}  // namespace comm
