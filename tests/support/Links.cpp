// Symbolic links made for tests: CreateSymbolicLinkW on Windows, the system's ln under Wine.
#include "support/Links.h"
#include "support/TempTree.h"
#include "comm/Scoped.h"

namespace testsupport {
namespace {

// The Unix path of a Windows path under Wine (kernel32's wine_get_unix_file_name), UTF-8.
std::string UnixPath(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto toUnix =
      reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return {};
  char* unix = toUnix(path.c_str());
  if (!unix) return {};
  std::string out(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

std::wstring Quoted(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return L"\"" + w + L"\"";
}

// The entry itself, even when it leads nowhere. A search for "d." also finds a "d" beside it (a
// period ends a pattern as it ends a name without extension): the name found must be the link's own.
bool Exists(const std::wstring& link) {
  const std::wstring name = link.substr(link.find_last_of(L'\\') + 1);
  WIN32_FIND_DATAW fd;
  comm::TUniqueFind find(FindFirstFileW((L"\\\\?\\" + link).c_str(), &fd));
  if (!find) return false;
  do {
    if (name == fd.cFileName) return true;
  } while (FindNextFileW(find.Get(), &fd));
  return false;
}

bool MakeUnixLink(const std::wstring& link, const std::wstring& target) {
  const std::string unixTarget = UnixPath(target);
  // The link does not exist yet: its folder is converted, and its name appended.
  const size_t cut = link.find_last_of(L'\\');
  const std::string unixFolder = UnixPath(link.substr(0, cut));
  if (unixTarget.empty() || unixFolder.empty()) return false;
  std::wstring name = link.substr(cut + 1);
  const int n = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0, nullptr, nullptr);
  std::string unixName(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), unixName.data(), n, nullptr, nullptr);
  std::wstring command = L"ln -s -- " + Quoted(unixTarget) + L" " + Quoted(unixFolder + "/" + unixName);
  for (const wchar_t* ln : {L"Z:\\bin\\ln", L"Z:\\usr\\bin\\ln"}) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(ln, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) continue;
    // Wine gives no handle to wait on for a Unix process: the link is waited for instead.
    if (pi.hProcess) CloseHandle(pi.hProcess);
    if (pi.hThread) CloseHandle(pi.hThread);
    for (int i = 0; i < 500; ++i) {
      if (Exists(link)) return true;
      Sleep(10);
    }
    return false;
  }
  return false;
}

}  // namespace

bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target, bool folder) {
  if (RunningOnWine()) return MakeUnixLink(link, target);
  const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), flags)) return false;
  const DWORD attr = GetFileAttributesW(link.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool LinksOpenAsThemselves() { return !RunningOnWine(); }

}  // namespace testsupport
