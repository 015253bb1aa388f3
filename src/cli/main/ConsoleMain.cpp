// vornasts.exe: the console companion's entry point.
#include "cli/Companion.h"
#include "settings/IniLocation.h"
#include "targets/CommandLine.h"
#include <objbase.h>

int wmain() {
  // The shell's known folders (the journal's place) want COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  cli::InstallStopHandler();
  DWORD mode = 0;
  const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  int code;
  {
    cli::TTextOut out(GetStdHandle(STD_OUTPUT_HANDLE)), err(GetStdHandle(STD_ERROR_HANDLE));
    cli::TCompanionIo io{out, err, cli::ReadConsoleKey, in && in != INVALID_HANDLE_VALUE && GetConsoleMode(in, &mode) != 0,
                         settings::UserFilePath(engine::kJournalName)};
    code = cli::RunCompanion(targets::ProgramArguments(), io);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
