// Opens a named object without following a link at its end, and makes sure the platform did not.
#include "comm/NamedObject.h"
#include "comm/LiteralPath.h"
#include <string_view>
#include <vector>

namespace comm {

namespace {

// The name of an open file or folder relative to its volume ("\dir\name"); empty when the platform
// cannot tell. Asked once per target: a name of ordinary length needs no allocation.
class THandleName {
 public:
  explicit THandleName(HANDLE h) {
    auto* info = reinterpret_cast<FILE_NAME_INFO*>(FSmall);
    if (GetFileInformationByHandleEx(h, FileNameInfo, info, sizeof FSmall)) {
      FName = std::wstring_view(info->FileName, info->FileNameLength / sizeof(wchar_t));
      return;
    }
    for (size_t size = sizeof FSmall * 4; GetLastError() == ERROR_MORE_DATA && size <= 140000; size *= 2) {
      FLarge.resize(size);
      info = reinterpret_cast<FILE_NAME_INFO*>(FLarge.data());
      if (GetFileInformationByHandleEx(h, FileNameInfo, info, static_cast<DWORD>(size))) {
        FName = std::wstring_view(info->FileName, info->FileNameLength / sizeof(wchar_t));
        return;
      }
    }
  }
  THandleName(const THandleName&) = delete;
  THandleName& operator=(const THandleName&) = delete;
  std::wstring_view View() const { return FName; }

 private:
  alignas(FILE_NAME_INFO) char FSmall[sizeof(FILE_NAME_INFO) + 600 * sizeof(wchar_t)];
  std::vector<char> FLarge;
  std::wstring_view FName;
};

bool SameText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// A name as Windows' path rules leave it: trailing periods and spaces cut.
std::wstring_view Trimmed(std::wstring_view name) {
  while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
  return name;
}

// Whether two handles are one file: 1 yes, 0 no, -1 when the system cannot tell.
int SameFile(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  if (!GetFileInformationByHandle(a, &ia) || !GetFileInformationByHandle(b, &ib)) return -1;
  return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

// The name the folder's handle reports, following links on the way (they lead to the folder).
const std::wstring& FolderName(std::wstring_view folder, comm::TFolderNameCache& cache) {
  if (!cache.name.empty() && cache.folder == folder) return cache.name;
  cache.folder.assign(folder);
  comm::TUniqueHandle h(CreateFileW(cache.folder.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (h) {
    const THandleName name(h.Get());
    cache.name.assign(name.View());
  } else {
    cache.name.clear();
  }
  return cache.name;
}

// True when h is the object that the last name of path names, not something a link there leads to.
bool IsNamedObject(HANDLE h, const std::wstring& path, comm::TFolderNameCache& cache) {
  const size_t cut = path.find_last_of(L'\\');
  if (cut == std::wstring::npos || cut + 1 >= path.size() || comm_IsRootPath(path)) return true;  // a root is no link
  const THandleName handleName(h);
  const std::wstring_view got = handleName.View();
  // A platform that cannot name a handle is not one that ignores FILE_FLAG_OPEN_REPARSE_POINT.
  if (got.empty()) return true;
  std::wstring_view folder = std::wstring_view(path).substr(0, cut + 1);
  if (!comm_IsRootPath(folder)) folder.remove_suffix(1);
  const std::wstring& folderName = FolderName(folder, cache);
  if (folderName.empty()) return false;  // the object cannot be told from a link's target: leave it alone
  // got must be the folder's name, "\" and the name the path gives.
  const bool addSeparator = folderName.back() != L'\\';
  const size_t prefix = folderName.size() + (addSeparator ? 1 : 0);
  if (got.size() <= prefix || !SameText(got.substr(0, folderName.size()), folderName) ||
      (addSeparator && got[folderName.size()] != L'\\'))
    return false;
  const std::wstring_view name = std::wstring_view(path).substr(cut + 1), gotName = got.substr(prefix);
  if (SameText(gotName, name)) return true;
  // Wine reports the name of "a." or "b " as Windows' path rules would trim it ("a", "b"). Such a
  // handle is the named object unless it is the very object of the trimmed name: the one case in which
  // a link is the likelier answer.
  const std::wstring_view trimmed = Trimmed(name);
  if (trimmed.size() != name.size() && !trimmed.empty() && SameText(gotName, trimmed)) {
    const std::wstring sibling = path.substr(0, cut + 1) + std::wstring(trimmed);
    comm::TUniqueHandle other(CreateFileW(sibling.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return !other || SameFile(h, other.Get()) == 0;  // when unsure, the object is left alone
  }
  // A short (8.3) name in the path: the handle may report the long one, which must then be the name
  // the folder's entry stores.
  WIN32_FIND_DATAW fd;
  comm::TUniqueFind find(FindFirstFileW(path.c_str(), &fd));
  return find && SameText(gotName, fd.cFileName);
}

}  // namespace

comm::TUniqueHandle comm_OpenNamedObject(const std::wstring& literalPath, DWORD access, DWORD share,
                                        comm::TOpenResult& result, comm::TFolderNameCache* folders) {
  comm::TUniqueHandle h(CreateFileW(literalPath.c_str(), access, share, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!h) {
    result = comm::orFailed;
    return h;
  }
  comm::TFolderNameCache ownCache;
  if (!IsNamedObject(h.Get(), literalPath, folders ? *folders : ownCache)) {
    h.Reset();
    result = comm::orLinkFollowed;
    return h;
  }
  result = comm::orOpened;
  return h;
}

}  // namespace comm
