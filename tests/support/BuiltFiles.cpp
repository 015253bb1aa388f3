// Files the build makes beside the program.
#include "support/BuiltFiles.h"

namespace testsupport {

std::wstring BuiltHelpFile() {
  std::wstring exe(32768, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
  const std::wstring relative = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"..\\VornaSTS.hlp";
  std::wstring full(32768, L'\0');
  full.resize(GetFullPathNameW(relative.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
  return full;
}

}  // namespace testsupport
