// Direct file-time access for the tests.
#include "support/RawFileTime.h"
#include "comm/Scoped.h"
#include <stdexcept>

namespace testsupport {
namespace {

int64_t ToInt(const FILETIME& ft) {
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}
FILETIME ToFt(int64_t v) { return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(static_cast<uint64_t>(v) >> 32)}; }

}  // namespace

RawTimes ReadRawTimes(const std::wstring& path) {
  comm::TUniqueHandle h(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILETIME c, a, w;
  if (!h || !GetFileTime(h.Get(), &c, &a, &w)) throw std::runtime_error("cannot read file times");
  return RawTimes{ToInt(c), ToInt(a), ToInt(w)};
}

bool WriteRawTimes(const std::wstring& path, int64_t creation, int64_t lastAccess, int64_t lastWrite) {
  comm::TUniqueHandle h(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h) return false;
  const FILETIME c = ToFt(creation), a = ToFt(lastAccess), w = ToFt(lastWrite);
  return SetFileTime(h.Get(), creation < 0 ? nullptr : &c, lastAccess < 0 ? nullptr : &a, lastWrite < 0 ? nullptr : &w) !=
         FALSE;
}

int64_t FileTimeOf(int year, int month, int day, int hour, int minute, int second, int ms) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  st.wMilliseconds = static_cast<WORD>(ms);
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft)) throw std::runtime_error("bad calendar fields");
  return ToInt(ft);
}

}  // namespace testsupport
