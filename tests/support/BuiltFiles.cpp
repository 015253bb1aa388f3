// Files the build makes beside the program.
#include "support/BuiltFiles.h"
#include "comm/LiteralPath.h"

namespace testsupport {

std::wstring BuiltHelpFile() {
  std::wstring exe(32768, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
  const std::wstring relative = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"..\\VornaSTS.hlp";
  return comm::comm_FullPathName(relative);
}

}  // namespace testsupport
