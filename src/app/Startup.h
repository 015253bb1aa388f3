// Start-up and shutdown: the three windows in their order, the command line, the message loop.
#pragma once
#include "Base.h"
#include <memory>
#include <string>
#include <vector>

namespace targets {
class TFormFileList;
}
namespace help {
class THelpViewer;
}

namespace app {

class TVNStampShifter;

// The application object and the program's windows over it, for their whole life. Creating it
// performs the start-up; destroying it the shutdown (the main window saves the settings as it goes).
class TProgram {
 public:
  // exePath decides the INI file and the help file; arguments are the paths of the command line.
  TProgram(const std::wstring& exePath, const std::vector<std::wstring>& arguments);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Shows the main window and runs the message loop until the main window closes.
  int Run();

  TVNStampShifter& MainWindow();
  targets::TFormFileList& FileListWindow();
  // The help window, once help has been asked for; null before.
  help::THelpViewer* HelpWindow();
  struct Windows;
  Windows& Parts() { return *FWindows; }

 private:
  std::unique_ptr<Windows> FWindows;
};

// The application title: caption of the main window and of every message box.
constexpr const wchar_t* kApplicationTitle = L"VornaStampShifter";
// The help file beside the executable.
std::wstring HelpFileForExecutable(const std::wstring& exePath);

}  // namespace app
