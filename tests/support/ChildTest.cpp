// Running the current test again in a child process.
#include "support/ChildTest.h"
#include "comm/Scoped.h"
#include <gtest/gtest.h>

namespace testsupport {

std::wstring ChildRole(const wchar_t* variable) {
  wchar_t given[2048];
  const DWORD n = GetEnvironmentVariableW(variable, given, 2048);
  return n > 0 && n < 2048 ? std::wstring(given, n) : std::wstring();
}

namespace {
std::wstring Widen(const char* s) {
  std::wstring out;
  while (*s) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*s++)));
  return out;
}

void PumpAllButTimers() {
  MSG msg;
  // Two ranges around WM_TIMER; messages sent from other threads are handled by PeekMessage itself.
  while (PeekMessageW(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
         PeekMessageW(&msg, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}
}  // namespace

int RunTestInChild(const wchar_t* variable, const std::wstring& value, DWORD timeoutMs) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  if (!test) return -1;
  wchar_t exe[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH * 4);
  if (n == 0 || n >= MAX_PATH * 4) return -1;
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" + Widen(test->test_suite_name()) + L"." +
                         Widen(test->name());
  // The child inherits the environment as it is at its start; the parent's is put back at once.
  SetEnvironmentVariableW(variable, value.c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  SetEnvironmentVariableW(variable, nullptr);
  if (!started) return -1;
  comm::TUniqueHandle process(pi.hProcess), thread(pi.hThread);
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) break;
    const DWORD wait = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, timeoutMs - spent, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(pi.hProcess, &code);
      return static_cast<int>(code);
    }
    if (wait != WAIT_OBJECT_0 + 1) break;
    PumpAllButTimers();
  }
  TerminateProcess(pi.hProcess, 99);
  WaitForSingleObject(pi.hProcess, 5000);
  return -1;
}

}  // namespace testsupport
