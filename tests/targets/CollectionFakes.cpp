// Making folder links for the collection tests, on Windows and under Wine.
#include "CollectionFakes.h"
#include "comm/UniqueHandle.h"

namespace targetstest {

namespace {

bool IsFolderLink(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The host file system's name of a path (Wine only), or empty.
std::wstring UnixName(const std::wstring& path) {
  using Fn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!fn) return {};
  char* name = fn(path.c_str());
  if (!name) return {};
  wchar_t wide[4096];
  const int n = MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 4096);
  HeapFree(GetProcessHeap(), 0, name);
  return n > 0 ? std::wstring(wide) : std::wstring();
}

}  // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target, std::wstring& why) {
  const DWORD unprivileged = 2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | unprivileged);
  if (IsFolderLink(link)) return true;
  why = L"CreateSymbolicLinkW made no folder link (error " + std::to_wstring(GetLastError()) + L")";
  if (!testsupport::RunningOnWine()) return false;

  // Wine's CreateSymbolicLinkW succeeds without making anything; a link of the host file system
  // is what Wine reports as a folder with the reparse-point attribute.
  const std::wstring unixTarget = UnixName(target), unixParent = UnixName(link.substr(0, link.rfind(L'\\')));
  if (unixTarget.empty() || unixParent.empty()) {
    why += L"; no host file name for the link";
    return false;
  }
  const std::wstring unixLink = unixParent + L"/" + link.substr(link.rfind(L'\\') + 1);
  std::wstring command = L"/bin/ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    why += L"; /bin/ln could not be started";
    return false;
  }
  comm::UniqueHandle process(pi.hProcess), thread(pi.hThread);
  WaitForSingleObject(pi.hProcess, 10000);
  for (int i = 0; i < 50 && !IsFolderLink(link); ++i) Sleep(20);
  if (IsFolderLink(link)) return true;
  why += L"; the host link is not seen as a folder link";
  return false;
}

}  // namespace targetstest
