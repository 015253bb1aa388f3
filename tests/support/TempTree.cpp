// Scratch folder trees and the platform probes the file-system tests need.
#include "support/TempTree.h"
#include "comm/Scoped.h"
#include <atomic>
#include <stdexcept>

namespace testsupport {

TempTree::TempTree() {
  static std::atomic<unsigned> counter{0};
  wchar_t tmp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, tmp);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
  std::wstring base(tmp, n);
  if (base.back() != L'\\') base += L'\\';
  for (;;) {
    FRoot = base + L"vss-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) +
            L"-" + std::to_wstring(counter++);
    if (CreateDirectoryW(FRoot.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create a temporary folder");
  }
}

// The tree is removed in the literal form, so that names ending in "." or " " go too.
TempTree::~TempTree() { RemoveTree(L"\\\\?\\" + FRoot); }

std::wstring TempTree::Path(std::wstring_view relative) const { return FRoot + L"\\" + std::wstring(relative); }

std::wstring TempTree::MakeDir(std::wstring_view relative) {
  std::wstring full = Path(relative);
  for (size_t pos = FRoot.size() + 1; pos <= full.size(); ++pos) {
    if (pos == full.size() || full[pos] == L'\\') CreateDirectoryW((L"\\\\?\\" + full.substr(0, pos)).c_str(), nullptr);
  }
  return full;
}

std::wstring TempTree::MakeFile(std::wstring_view relative, std::string_view content) {
  const size_t cut = relative.find_last_of(L'\\');
  if (cut != std::wstring_view::npos) MakeDir(relative.substr(0, cut));
  std::wstring full = Path(relative);
  comm::TUniqueHandle h(CreateFileW((L"\\\\?\\" + full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h) throw std::runtime_error("cannot create a test file");
  DWORD written = 0;
  WriteFile(h.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  return full;
}

void RemoveTree(const std::wstring& path) {
  const DWORD attr = GetFileAttributesW(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), attr & FILE_ATTRIBUTE_DIRECTORY);
  if (!(attr & FILE_ATTRIBUTE_DIRECTORY) || (attr & FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (attr & FILE_ATTRIBUTE_DIRECTORY) RemoveDirectoryW(path.c_str());
    else DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW fd;
  comm::TUniqueFind find(FindFirstFileW((path + L"\\*").c_str(), &fd));
  if (find) {
    do {
      const std::wstring name = fd.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
    } while (FindNextFileW(find.Get(), &fd));
  }
  find.Reset();
  RemoveDirectoryW(path.c_str());
}

std::string ReadFileBytes(const std::wstring& path) {
  comm::TUniqueHandle h(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
  if (!h.Valid()) return "<missing>";
  std::string bytes;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h.Get(), buf, sizeof(buf), &got, nullptr) && got) bytes.append(buf, got);
  return bytes;
}

bool RunningOnWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool ReadOnlyRefusesWriteOpen() {
  static const bool refuses = [] {
    TempTree tree;
    const std::wstring f = tree.MakeFile(L"probe.txt");
    SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_READONLY);
    comm::TUniqueHandle h(CreateFileW(f.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !h.Valid();
  }();
  return refuses;
}

}  // namespace testsupport
