// Helpers of the settings tests: raw file bytes and the failures a settings manager noted.
#pragma once
#include "Base.h"
#include "settings/RegMng.h"
#include <string>
#include <vector>

namespace settingstest {

inline std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(h);
  return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD put = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Names in a folder, to see that no temporary file is left behind.
inline std::vector<std::wstring> FolderNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  return names;
}

// The failures a manager noted (the texts the program shows as the settings' error boxes).
class ErrorBoxRecorder {
 public:
  explicit ErrorBoxRecorder(settings::TRegManager& manager) : FManager(manager) {}
  std::vector<std::wstring>& Texts() { return FManager.Failures(); }

 private:
  settings::TRegManager& FManager;
};

}  // namespace settingstest
