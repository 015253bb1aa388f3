// Opens a named object without following a link at its end, and makes sure the platform did not.
#include "comm/NamedObject.h"
#include "comm/LiteralPath.h"
#include <string_view>
#include <vector>

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The name of an open file or folder relative to its volume ("\dir\name"); empty when the platform
// cannot tell.
std::wstring HandleName(HANDLE h) {
  std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 512 * sizeof(wchar_t));
  for (;;) {
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    if (GetFileInformationByHandleEx(h, FileNameInfo, info, static_cast<DWORD>(buffer.size())))
      return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
    if (GetLastError() != ERROR_MORE_DATA || buffer.size() > 70000) return {};
    buffer.resize(buffer.size() * 2);
  }
}

bool SameText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// A name as Windows' path rules leave it: trailing periods and spaces cut.
std::wstring_view Trimmed(std::wstring_view name) {
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  return name;
}

bool SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return GetFileInformationByHandle(a, &ia) && GetFileInformationByHandle(b, &ib) &&
         ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

std::wstring_view LastName(std::wstring_view path) {
  const size_t cut = path.find_last_of(L'\\');
  return cut == std::wstring_view::npos ? path : path.substr(cut + 1);
}

// The name the folder's handle reports, following links on the way (they lead to the folder).
std::wstring FolderName(const std::wstring& folder, comm::TFolderNameCache* cache) {
  if (cache && !cache->name.empty() && cache->folder == folder) return cache->name;
  comm::UniqueHandle h(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  std::wstring name = h ? HandleName(h.Get()) : std::wstring();
  if (cache && !name.empty()) {
    cache->folder = folder;
    cache->name = name;
  }
  return name;
}

// True when h is the object that the last name of path names, not something a link there leads to.
bool IsNamedObject(HANDLE h, const std::wstring& path, comm::TFolderNameCache* cache) {
  if (comm_IsRootPath(path)) return true;  // a root is no link
  const size_t cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut + 1 >= path.size()) return true;
  const std::wstring got = HandleName(h);
  // A platform that cannot name a handle is not one that ignores FILE_FLAG_OPEN_REPARSE_POINT.
  if (got.empty()) return true;
  std::wstring folder = path.substr(0, cut + 1);
  if (!comm_IsRootPath(folder)) folder.pop_back();
  const std::wstring folderName = FolderName(folder, cache);
  if (folderName.empty()) return false;  // the object cannot be told from a link's target: leave it alone
  const std::wstring_view name = std::wstring_view(path).substr(cut + 1);
  std::wstring expected = folderName;
  if (expected.back() != L'\\') expected += L'\\';
  const size_t folderLength = expected.size();
  expected.append(name);
  if (SameText(got, expected)) return true;
  // Wine reports the name of "a." or "b " as Windows' path rules would trim it ("a", "b"). Such a
  // handle is the named object unless it is the very object of the trimmed name: the one case in which
  // a link is the likelier answer.
  const std::wstring_view trimmed = Trimmed(name);
  if (trimmed.size() != name.size() && !trimmed.empty() && got.size() == folderLength + trimmed.size() &&
      SameText(got, expected.substr(0, folderLength) + std::wstring(trimmed))) {
    const std::wstring sibling = path.substr(0, cut + 1) + std::wstring(trimmed);
    comm::UniqueHandle other(CreateFileW(sibling.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return !other || !SameFile(h, other.Get());
  }
  // A short (8.3) name in the path: the handle may report the long one. The folder must match all the
  // same, and the name must be the one the folder's entry stores.
  if (got.size() <= folderLength || !SameText(std::wstring_view(got).substr(0, folderLength),
                                              std::wstring_view(expected).substr(0, folderLength)))
    return false;
  WIN32_FIND_DATAW fd;
  comm::UniqueFind find(FindFirstFileW(path.c_str(), &fd));
  return find && SameText(LastName(got), fd.cFileName);
}

}  // namespace

comm::UniqueHandle comm_OpenNamedObject(const std::wstring& literalPath, DWORD access, DWORD share,
                                        comm::TOpenResult& result, comm::TFolderNameCache* folders) {
  comm::UniqueHandle h(CreateFileW(literalPath.c_str(), access, share, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h) {
    result = comm::orFailed;
    return h;
  }
  if (!IsNamedObject(h.Get(), literalPath, folders)) {
    h.Reset();
    result = comm::orLinkFollowed;
    return h;
  }
  result = comm::orOpened;
  return h;
}
