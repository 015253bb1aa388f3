// Attribute reads and writes of a path, through the attribute word and a directory search.
#include "comm/FileAttr.h"
#include "comm/Clock.h"
#include "comm/UniqueHandle.h"

namespace {

// The packed date and time of the file system (DOS form) as a date-time; false when it is no date.
bool DosDateTimeToDateTime(WORD date, WORD time, comm::TDateTime& value) {
  return comm::TryEncodeDateTime({1980 + (date >> 9), (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63,
                                  (time & 31) * 2, 0},
                                 value);
}

}  // namespace

TPathKind GetPathKind(const std::wstring& path) {
  const DWORD attr = GetFileAttributesW(path.c_str());
  if (attr == kNoFileAttributes) return pkNone;
  return (attr & FILE_ATTRIBUTE_DIRECTORY) ? pkFolder : pkFile;
}

bool comm_DirExists(const std::wstring& path) { return GetPathKind(path) == pkFolder; }

DWORD comm_GetFileInfo(const std::wstring& path, int32_t& size, comm::TDateTime& date) {
  const DWORD attr = GetFileAttributesW(path.c_str());
  size = 0;
  date = 0;
  if (attr == kNoFileAttributes) return attr;
  WIN32_FIND_DATAW fd;
  comm::UniqueFind find(FindFirstFileW(path.c_str(), &fd));
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
  const DWORD attr = GetFileAttributesW(path.c_str());
  if (attr == kNoFileAttributes) return false;
  readOnly = (attr & FILE_ATTRIBUTE_READONLY) != 0;
  return true;
}

bool comm_SetReadOnlyAttr(const std::wstring& path, bool readOnly) {
  const DWORD attr = GetFileAttributesW(path.c_str());
  if (attr == kNoFileAttributes) return false;
  const DWORD word = readOnly ? (attr | FILE_ATTRIBUTE_READONLY) : (attr & ~DWORD{FILE_ATTRIBUTE_READONLY});
  return SetFileAttributesW(path.c_str(), word) != FALSE;
}
