// Another process holding a file, and a folder without the right to create files.
#include "support/FileObstacles.h"
#include <sddl.h>

namespace testsupport {

OtherProcessHold::OtherProcessHold(const std::wstring& path, DWORD access, DWORD share) {
  HANDLE file = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  // The test program itself, never let run: it only keeps the handle.
  wchar_t exe[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, exe, static_cast<DWORD>(std::size(exe)));
  std::wstring commandLine = L"\"" + std::wstring(exe, n) + L"\" --gtest_list_tests";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &FChild)) {
    HANDLE inChild = nullptr;
    FHolding = DuplicateHandle(GetCurrentProcess(), file, FChild.hProcess, &inChild, 0, FALSE, DUPLICATE_SAME_ACCESS) != FALSE;
  }
  CloseHandle(file);
}

OtherProcessHold::~OtherProcessHold() {
  if (FReleaser.joinable()) FReleaser.join();
  Release();
}

void OtherProcessHold::Release() {
  if (!FChild.hProcess) return;
  TerminateProcess(FChild.hProcess, 0);
  WaitForSingleObject(FChild.hProcess, 10000);
  CloseHandle(FChild.hThread);
  CloseHandle(FChild.hProcess);
  FChild = {};
}

void OtherProcessHold::ReleaseAfter(DWORD ms) {
  HANDLE process = FChild.hProcess;
  FReleaser = std::thread([process, ms] {
    Sleep(ms);
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
  });
}

NoCreateRights::NoCreateRights(std::wstring folder) : FFolder(std::move(folder)) {
  DWORD size = 0;
  GetFileSecurityW(FFolder.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  FPrevious.resize(size);
  if (size == 0 || !GetFileSecurityW(FFolder.c_str(), DACL_SECURITY_INFORMATION, FPrevious.data(), size, &size)) return;
  // Everyone: read, list, traverse and read attributes (0x1200A9); no add-file, no add-subfolder.
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x1200a9;;;WD)", SDDL_REVISION_1, &readOnly, nullptr))
    return;
  FApplied = SetFileSecurityW(FFolder.c_str(), DACL_SECURITY_INFORMATION, readOnly) != FALSE;
  LocalFree(readOnly);
}

NoCreateRights::~NoCreateRights() {
  if (FApplied) SetFileSecurityW(FFolder.c_str(), DACL_SECURITY_INFORMATION, FPrevious.data());
}

}  // namespace testsupport
