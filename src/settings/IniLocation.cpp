// Choice of the settings file's place: the installer's marker, a try of the program's folder, the
// user's roaming folder.
#include "settings/IniLocation.h"
#include "comm/FileBytes.h"
#include "comm/LiteralPath.h"
#include "comm/NamedObject.h"
#include "comm/Scoped.h"
#include "settings/AppSettings.h"
#include <knownfolders.h>
#include <shlobj.h>
#include <cstdio>

namespace settings {

namespace {

// The folder part of a path with its trailing separator ("C:\tools\"), or empty.
std::wstring FolderWithSeparator(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/:");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring Extended(const std::wstring& path) { return comm::comm_LiteralPath(comm::comm_FullPathName(path)); }

bool IsFile(const std::wstring& path) {
  const DWORD attrs = GetFileAttributesW(Extended(path).c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// The existing file can be written: opened for writing, or held by another program for a moment
// (the settings manager waits for such a holder).
bool FileTakesWrites(const std::wstring& path) {
  const comm::TUniqueHandle h(CreateFileW(Extended(path).c_str(), GENERIC_WRITE, comm::kShareAll,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return h || GetLastError() == ERROR_SHARING_VIOLATION;
}

// A new file can be made in the folder: a temporary one is made and goes again when closed.
bool FolderTakesNewFiles(const std::wstring& folder) {
  for (unsigned attempt = 0; attempt < 8; ++attempt) {
    wchar_t name[64];
    std::swprintf(name, 64, L"~vss%08lX%04X.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned>((GetTickCount() + attempt * 7919u) & 0xFFFF));
    const comm::TUniqueHandle h(CreateFileW(Extended(folder + name).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (h) return true;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

// The user's settings folder made (when missing) and the file's path in it.
std::wstring UserIniPath(const std::wstring& roamingDir) {
  std::wstring folder = roamingDir;
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  folder += kUserFolderName;
  CreateDirectoryW(Extended(folder).c_str(), nullptr);  // an existing one is fine; a failure shows at the first write
  return folder + L'\\' + kUserIniName;
}

}  // namespace

TIniLocation ChooseIniLocation(const std::wstring& exePath, const std::wstring& roamingDir) {
  const std::wstring beside = IniPathForExecutable(exePath);
  if (roamingDir.empty()) return {beside, TIniPlace::BesideProgram};
  const std::wstring folder = FolderWithSeparator(exePath);

  if (IsFile(folder + kInstalledMarkerName)) return {UserIniPath(roamingDir), TIniPlace::UserFolder};

  const bool besideExists = IsFile(beside);
  if ((besideExists && FileTakesWrites(beside)) || FolderTakesNewFiles(folder)) return {beside, TIniPlace::BesideProgram};

  // A portable copy on a medium or in a folder that takes nothing: the user's file, starting from the
  // settings that came with the copy.
  const std::wstring user = UserIniPath(roamingDir);
  if (besideExists && GetFileAttributesW(Extended(user).c_str()) == INVALID_FILE_ATTRIBUTES &&
      CopyFileW(Extended(beside).c_str(), Extended(user).c_str(), TRUE)) {
    const DWORD attrs = GetFileAttributesW(Extended(user).c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
      SetFileAttributesW(Extended(user).c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
  }
  return {user, TIniPlace::UserFolder};
}

std::wstring RoamingAppDataDir() {
  comm::TCoTaskMem<wchar_t> found;
  std::wstring dir;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, found.Put())) && found) dir = found.Get();
  return dir;
}

std::wstring UserFilePath(const std::wstring& name) {
  const std::wstring roaming = RoamingAppDataDir();
  return roaming.empty() ? std::wstring() : roaming + L"\\" + kUserFolderName + L"\\" + name;
}

TIniLocation IniLocationForProgram(const std::wstring& exePath) {
  return ChooseIniLocation(exePath, RoamingAppDataDir());
}

}  // namespace settings
