// Windows' own words for an error code.
#include "comm/ErrorText.h"

namespace comm {

std::wstring SystemErrorText(DWORD error) {
  std::wstring reason;
  wchar_t* buffer = nullptr;
  if (FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr) &&
      buffer) {
    reason = buffer;
    LocalFree(buffer);
    while (!reason.empty() && (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ')) reason.pop_back();
  }
  return reason;
}

}  // namespace comm
