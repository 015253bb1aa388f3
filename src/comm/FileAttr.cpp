// Attribute reads and writes of a path, through the attribute word and a directory search.
#include "comm/FileAttr.h"
#include "comm/Clock.h"
#include "comm/LiteralPath.h"
#include "comm/Scoped.h"

namespace comm {

namespace {

// The packed date and time of the file system (DOS form) as a date-time; false when it is no date.
bool DosDateTimeToDateTime(WORD date, WORD time, comm::TDateTime& value) {
  return comm::TryEncodeDateTime({1980 + (date >> 9), (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63,
                                  (time & 31) * 2, 0},
                                 value);
}

}  // namespace

TPathKind comm_GetPathKind(const std::wstring& path) {
  const DWORD attr = GetFileAttributesW(comm_LiteralPath(path).c_str());
  if (attr == kNoFileAttributes) return pkNone;
  return (attr & FILE_ATTRIBUTE_DIRECTORY) ? pkFolder : pkFile;
}

bool comm_DirExists(const std::wstring& path) { return comm_GetPathKind(path) == pkFolder; }

DWORD comm_GetFileInfo(const std::wstring& path, int32_t& size, comm::TDateTime& date) {
  const std::wstring literal = comm_LiteralPath(path);
  const DWORD attr = GetFileAttributesW(literal.c_str());
  size = 0;
  date = 0;
  if (attr == kNoFileAttributes) return attr;
  WIN32_FIND_DATAW fd;
  comm::TUniqueFind find(FindFirstFileW(literal.c_str(), &fd));
  if (!find) return attr;
  size = static_cast<int32_t>(fd.nFileSizeLow);
  // Local time with the bias in force now, packed to 2-second steps as the file system's date form.
  const uint64_t utc = (static_cast<uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
  const int64_t local = static_cast<int64_t>(utc) - comm::LocalTimeBias();
  if (local < 0) return attr;
  const FILETIME localFt{static_cast<DWORD>(local), static_cast<DWORD>(static_cast<uint64_t>(local) >> 32)};
  WORD dosDate, dosTime;
  comm::TDateTime value;
  if (FileTimeToDosDateTime(&localFt, &dosDate, &dosTime) && DosDateTimeToDateTime(dosDate, dosTime, value))
    date = value;
  return attr;
}

// The read-only functions read the attribute word directly: the size and date that
// comm_GetFileInfo would also fetch play no part in them.
bool comm_GetReadOnlyAttr(const std::wstring& path, bool& readOnly) {
  const DWORD attr = GetFileAttributesW(comm_LiteralPath(path).c_str());
  if (attr == kNoFileAttributes) return false;
  readOnly = (attr & FILE_ATTRIBUTE_READONLY) != 0;
  return true;
}

bool comm_SetReadOnlyAttr(const std::wstring& path, bool readOnly) {
  comm::TOpenResult opened;
  comm::TUniqueHandle h = comm_OpenForAttributes(comm_LiteralPath(path), opened);
  const DWORD attr = h ? comm_GetHandleAttr(h.Get()) : kNoFileAttributes;
  if (attr == kNoFileAttributes) return false;
  const DWORD word = readOnly ? (attr | FILE_ATTRIBUTE_READONLY) : (attr & ~DWORD{FILE_ATTRIBUTE_READONLY});
  return comm_SetHandleAttr(h.Get(), word);
}

comm::TUniqueHandle comm_OpenForAttributes(const std::wstring& literalPath, comm::TOpenResult& result,
                                          comm::TFolderNameCache* folders) {
  comm::TUniqueHandle h = comm_OpenNamedObject(literalPath, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll,
                                              result, folders);
  // Wine opens a handle for attribute writes as it opens one for data writes, which a read-only file
  // refuses; its attribute writes need no write access on the handle (its own SetFileAttributesW opens
  // none), so a handle for reading them serves. Where a system does check, the write is refused.
  if (result == comm::orFailed && GetLastError() == ERROR_ACCESS_DENIED)
    h = comm_OpenNamedObject(literalPath, FILE_READ_ATTRIBUTES, kShareAll, result, folders);
  return h;
}

DWORD comm_GetHandleAttr(HANDLE h) {
  FILE_BASIC_INFO info;
  if (!GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info)) return kNoFileAttributes;
  return info.FileAttributes;
}

bool comm_SetHandleAttr(HANDLE h, DWORD attr) {
  FILE_BASIC_INFO info{};  // times of 0 are left as they are
  info.FileAttributes = attr & kSettableFileAttributes;
  if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof info) != FALSE;
}

}  // namespace comm
