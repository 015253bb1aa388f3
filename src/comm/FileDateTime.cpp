// File times of a path, opened as a file or a folder, and their conversion to local date-times.
#include "comm/FileDateTime.h"
#include "comm/Clock.h"
#include "comm/LiteralPath.h"
#include "comm/NamedObject.h"
#include "comm/Scoped.h"
#include <limits>

namespace comm {

namespace {

int64_t ToInt(const FILETIME& ft) {
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}
FILETIME ToFileTime(int64_t v) {
  const auto u = static_cast<uint64_t>(v);
  return FILETIME{static_cast<DWORD>(u), static_cast<DWORD>(u >> 32)};
}

// Opens a file, or a folder thanks to the backup semantics, for writing its times: the object the path
// names itself, in its literal form (a trailing separator dropped, but a root kept whole: "C:" alone
// would be the current folder of drive C), and a link as the link.
comm::TUniqueHandle OpenForTimes(const std::wstring& path) {
  comm::TOpenResult result;
  return comm_OpenNamedObject(comm_LiteralPath(path), GENERIC_WRITE, FILE_SHARE_READ, result);
}

// Reads and converts the three times through an open handle; a failed open fails here.
bool ReadTimes(HANDLE h, comm::TDateTime& creation, comm::TDateTime& lastAccess, comm::TDateTime& lastWrite) {
  FILETIME c, a, w;
  if (!GetFileTime(h, &c, &a, &w)) return false;
  return comm_ConvFileTimeToDateTime(c, creation) && comm_ConvFileTimeToDateTime(a, lastAccess) &&
         comm_ConvFileTimeToDateTime(w, lastWrite);
}

}  // namespace

namespace {
// A UTC file time as the local calendar reads it, with the bias in force now.
bool LocalSystemTime(const FILETIME& fileTime, SYSTEMTIME& st) {
  const int64_t utc = ToInt(fileTime);
  const int64_t bias = comm::LocalTimeBias();
  if (utc < 0) return false;
  // local = utc - bias, without leaving the file-time range.
  if ((bias < 0 && utc > std::numeric_limits<int64_t>::max() + bias) || (bias > 0 && utc < bias)) return false;
  const FILETIME local = ToFileTime(utc - bias);
  return FileTimeToSystemTime(&local, &st) != FALSE;
}
}  // namespace

bool comm_ConvFileTimeToDateTime(const FILETIME& fileTime, comm::TDateTime& value) {
  SYSTEMTIME st;
  if (!LocalSystemTime(fileTime, st)) return false;
  return comm::TryEncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds},
                                 value);
}

bool WallClockFileTime(const comm::TDateTimeParts& p, FILETIME& fileTime) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(p.Year);
  st.wMonth = static_cast<WORD>(p.Month);
  st.wDay = static_cast<WORD>(p.Day);
  st.wHour = static_cast<WORD>(p.Hour);
  st.wMinute = static_cast<WORD>(p.Minute);
  st.wSecond = static_cast<WORD>(p.Second);
  st.wMilliseconds = static_cast<WORD>(p.MilliSecond);
  return SystemTimeToFileTime(&st, &fileTime) != FALSE;
}

bool comm_ConvDateTimeToFileTime(comm::TDateTime value, FILETIME& fileTime) {
  comm::TDateTimeParts p;
  if (!comm::DecodeDateTime(value, p)) return false;
  FILETIME localFt;
  if (!WallClockFileTime(p, localFt)) return false;
  const int64_t local = ToInt(localFt);
  const int64_t bias = comm::LocalTimeBias();
  // utc = local + bias, without leaving the file-time range.
  if ((bias > 0 && local > std::numeric_limits<int64_t>::max() - bias) || (bias < 0 && local < -bias)) return false;
  fileTime = ToFileTime(local + bias);
  return true;
}

bool comm_GetFileDateTime(const std::wstring& path, comm::TDateTime& creation, comm::TDateTime& lastAccess,
                          comm::TDateTime& lastWrite) {
  comm::TUniqueHandle h = OpenForTimes(path);
  return ReadTimes(h.Get(), creation, lastAccess, lastWrite);
}

TReplaceTimesResult comm_ReplaceFileDateTime(const std::wstring& path, const comm::TDateTime* creation,
                                             const comm::TDateTime* lastWrite) {
  // One open serves the read and the write: the same outcome as reading with comm_GetFileDateTime
  // and opening again, with half the opens.
  comm::TUniqueHandle h = OpenForTimes(path);
  return comm_ReplaceHandleDateTime(h.Get(), creation, lastWrite);
}

TReplaceTimesResult comm_ReplaceHandleDateTime(HANDLE h, const comm::TDateTime* creation,
                                               const comm::TDateTime* lastWrite) {
  comm::TDateTime c, a, w;
  if (!ReadTimes(h, c, a, w)) return rtUnreadable;
  if (creation) c = *creation;
  if (lastWrite) w = *lastWrite;
  FILETIME fc, fw;
  if (!comm_ConvDateTimeToFileTime(c, fc) || !comm_ConvDateTimeToFileTime(w, fw)) return rtWriteFailed;
  return SetFileTime(h, &fc, nullptr, &fw) ? rtDone : rtWriteFailed;
}

bool comm_SetFileDateTime(const std::wstring& path, comm::TDateTime creation, comm::TDateTime lastWrite) {
  return comm_ReplaceFileDateTime(path, creation != 0 ? &creation : nullptr, lastWrite != 0 ? &lastWrite : nullptr) ==
         rtDone;
}

std::wstring LocalFileTimeText(const FILETIME& fileTime) {
  // Straight from the calendar's fields, without the date-time value between: a report or a preview
  // formats this for every target. The seconds are cut as the value's whole milliseconds would be.
  SYSTEMTIME st;
  if (!LocalSystemTime(fileTime, st) || st.wYear > kMaxYear) return L"?";
  return FormatDateTimeParts(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

}  // namespace comm
