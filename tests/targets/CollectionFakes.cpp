// Making folder links for the collection tests, on Windows and under Wine.
#include "CollectionFakes.h"
#include "comm/UniqueHandle.h"
#include "support/TempTree.h"

namespace targetstest {

namespace {

bool IsFolderLink(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Wine's name of a path in the host file system, or empty.
std::wstring HostName(const std::wstring& path) {
  using Fn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = fn ? fn(path.c_str()) : nullptr;
  if (!name) return {};
  wchar_t wide[4096];
  const int n = MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 4096);
  HeapFree(GetProcessHeap(), 0, name);
  return n > 0 ? wide : L"";
}

}  // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target, std::wstring& why) {
  CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 2 /* unprivileged */);
  if (IsFolderLink(link)) return true;
  why = L"CreateSymbolicLinkW made no link, error " + std::to_wstring(GetLastError());
  const std::wstring hostTarget = HostName(target), hostLink = HostName(link.substr(0, link.rfind(L'\\')));
  if (!testsupport::RunningOnWine() || hostTarget.empty() || hostLink.empty()) return false;
  std::wstring command = L"/bin/ln -s \"" + hostTarget + L"\" \"" + hostLink + L"/" + link.substr(link.rfind(L'\\') + 1) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    why += L"; /bin/ln did not start";
    return false;
  }
  comm::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  WaitForSingleObject(pi.hProcess, 10000);
  if (IsFolderLink(link)) return true;
  why += L"; the host's link is not seen as a folder link";
  return false;
}

}  // namespace targetstest
