// Program entry: start-up, the message loop and shutdown.
#include "Base.h"
#include "app/Startup.h"
#include "targets/CommandLine.h"
#include "ui/Application.h"
#include "comm/Scoped.h"
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  comm::TOleInit ole;

  std::wstring exePath(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, exePath.data(), static_cast<DWORD>(exePath.size()));
  exePath.resize(n);
  try {
    app::TProgram program(exePath, targets::ProgramArguments());
    return program.Run();
  } catch (...) {
    ui::Application::Instance().HandleException();
    return 1;
  }
}
