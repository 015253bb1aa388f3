// Long path names by a directory search per component, from the root outwards, in the literal form.
#include "comm/LongPathName.h"
#include "Base.h"
#include "comm/LiteralPath.h"
#include "comm/PathText.h"
#include "comm/Scoped.h"
#include <string_view>
#include <vector>

namespace comm {

namespace {

constexpr std::wstring_view kLiteral = L"\\\\?\\";
constexpr std::wstring_view kLiteralUnc = L"\\\\?\\UNC\\";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool StartsWith(std::wstring_view s, std::wstring_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The root of a path as it is written: how many characters of the path it takes, and the folder, in
// literal form and ending in "\", in which the first name below it is searched. searchable is false
// for a root this unit does not take apart (a device path, a server without a share).
struct Root {
  size_t length = 0;
  std::wstring folder;
  bool searchable = true;
};

std::wstring WithSeparator(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

// "server\share" at the start of rest: the length it takes with the separator after it, if any; 0
// when either part is missing.
size_t ShareLength(std::wstring_view rest) {
  size_t i = 0;
  while (i < rest.size() && !IsSeparator(rest[i])) ++i;
  if (i == 0 || i == rest.size()) return 0;
  const size_t shareStart = ++i;
  while (i < rest.size() && !IsSeparator(rest[i])) ++i;
  if (i == shareStart) return 0;
  return i < rest.size() ? i + 1 : i;
}

Root RootOf(std::wstring_view path) {
  Root root;
  auto unsearchable = [&] {
    root.searchable = false;
    return root;
  };
  if (StartsWith(path, kLiteralUnc)) {
    const size_t share = ShareLength(path.substr(kLiteralUnc.size()));
    if (share == 0) return unsearchable();
    root.length = kLiteralUnc.size() + share;
    root.folder = WithSeparator(std::wstring(path.substr(0, root.length)));
    return root;
  }
  if (StartsWith(path, kLiteral)) {  // "\\?\C:\"; any other literal form is left alone
    const std::wstring_view rest = path.substr(kLiteral.size());
    if (rest.size() < 3 || !IsLetter(rest[0]) || rest[1] != L':' || rest[2] != L'\\') return unsearchable();
    root.length = kLiteral.size() + 3;
    root.folder = std::wstring(path.substr(0, root.length));
    return root;
  }
  if (StartsWith(path, L"\\\\.\\")) return unsearchable();  // a device
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == L':') {
    if (path.size() >= 3 && IsSeparator(path[2])) {  // "C:\"
      root.length = 3;
      root.folder = std::wstring(kLiteral) + path[0] + L":\\";
    } else {  // "C:name": below the current folder of drive C
      root.length = 2;
      root.folder = WithSeparator(comm_LiteralPath(path.substr(0, 2)));
    }
    return root;
  }
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {  // "\\server\share"
    const size_t share = ShareLength(path.substr(2));
    if (share == 0) return unsearchable();
    root.length = 2 + share;
    std::wstring_view rest = path.substr(2, share);
    root.folder = std::wstring(kLiteralUnc);
    for (wchar_t c : rest) root.folder += IsSeparator(c) ? L'\\' : c;
    root.folder = WithSeparator(std::move(root.folder));
    return root;
  }
  if (!path.empty() && IsSeparator(path[0])) {  // "\name": the root of the current drive
    root.length = 1;
    root.folder = WithSeparator(comm_LiteralPath(L"\\"));
    return root;
  }
  root.folder = WithSeparator(comm_LiteralPath(L"."));  // a name below the current folder
  return root;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// One search for pattern: the stored name of the first entry that is name in another letter case or
// whose short name name is; empty when none is.
std::wstring Matching(const std::wstring& pattern, std::wstring_view name) {
  WIN32_FIND_DATAW fd;
  comm::TUniqueFind find(FindFirstFileW(pattern.c_str(), &fd));
  if (!find) return {};
  do {
    if (SameName(fd.cFileName, name) || (fd.cAlternateFileName[0] && SameName(fd.cAlternateFileName, name)))
      return fd.cFileName;
  } while (FindNextFileW(find.Get(), &fd));
  return {};
}

}  // namespace

std::wstring comm_StoredName(const std::wstring& folder, std::wstring_view name) {
  // Characters that make a search pattern (the last three are the system's own wildcards) name no
  // single entry.
  if (name.empty() || name.find_first_of(L"*?<>\"\\/") != std::wstring_view::npos) return {};
  std::wstring pattern = folder + std::wstring(name);
  std::wstring stored = Matching(pattern, name);
  // Wine's search ignores trailing periods of a name in another letter case ("A." finds "a"), and
  // gives one entry only for a name without wildcards: a wildcard search lists them all.
  if (stored.empty() && name.back() == L'.') stored = Matching(pattern + L'*', name);
  return stored;
}

namespace {

// The expansion; false when a component is not found (then longPath is left as it came to be).
bool Expand(std::wstring_view path, std::wstring& longPath) {
  Root root = RootOf(path);
  if (!root.searchable || !StartsWith(root.folder, kLiteral)) return false;
  longPath.assign(path.substr(0, root.length));
  std::wstring folder = std::move(root.folder);
  std::vector<size_t> parents;  // folder sizes before each name entered, for ".."
  size_t i = root.length;
  // The components are taken in a loop: a path of thousands of them (a command line may hold
  // 32,000 characters) needs no stack of its depth.
  while (i < path.size()) {
    if (IsSeparator(path[i])) {
      longPath += path[i++];
      continue;
    }
    size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    const std::wstring_view name = path.substr(i, end - i);
    i = end;
    if (name == L".") {
      longPath.append(name);
    } else if (name == L"..") {
      longPath.append(name);
      if (!parents.empty()) {
        folder.resize(parents.back());
        parents.pop_back();
      } else if (!comm_IsRootPath(folder)) {  // above the current folder the path started from
        folder.pop_back();
        folder.resize(folder.find_last_of(L'\\') + 1);
      }
    } else {
      const std::wstring stored = comm_StoredName(folder, name);
      if (stored.empty()) return false;
      longPath += stored;
      parents.push_back(folder.size());
      folder += stored;
      folder += L'\\';
    }
  }
  return true;
}

}  // namespace

void comm_GetLongPathName(const std::wstring& path, std::wstring& longPath) {
  longPath.clear();
  if (!Expand(path, longPath)) longPath.assign(path);
  if (comm::EndsWithSeparator(longPath)) longPath.pop_back();
}

std::wstring comm_GetLongPathName(const std::wstring& path) {
  std::wstring out;
  comm_GetLongPathName(path, out);
  return out;
}

}  // namespace comm
