// Windows' own words for an error code.
#include "comm/ErrorText.h"
#include "comm/Scoped.h"

namespace comm {

std::wstring SystemErrorText(DWORD error) {
  std::wstring reason;
  TLocalMem buffer;
  if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(buffer.Put()), 0, nullptr) &&
      buffer) {
    reason = static_cast<const wchar_t*>(buffer.Get());
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ')) reason.pop_back();
  }
  return reason;
}

}  // namespace comm
