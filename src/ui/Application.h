// The application object: title, help, message loop and pumping, busy cursor, terminating flag, errors.
#pragma once
#include "Base.h"
#include <functional>
#include <string>
#include <vector>

namespace ui {

class Form;

class Application {
 public:
  static Application& Instance();

  void SetTitle(const std::wstring& title) { FTitle = title; }
  const std::wstring& Title() const { return FTitle; }

  // The help file and the one way to ask for help. The handler shows the help; without one, or when
  // the file is missing, the user is told so in a message box.
  void SetHelpFile(const std::wstring& path) { FHelpFile = path; }
  const std::wstring& HelpFile() const { return FHelpFile; }
  std::function<bool(const std::wstring& file, UINT command, ULONG_PTR data)> OnHelp;
  bool HelpCommand(UINT command, ULONG_PTR data);

  // The main form: closing it ends the message loop.
  void SetMainForm(Form* form) { FMainForm = form; }
  Form* MainForm() const { return FMainForm; }

  // Runs the message loop until the application terminates.
  void Run();
  // Handles every pending message, then returns (the long loops call this between items).
  void ProcessMessages();
  // Waits for one message and handles it.
  void HandleMessage();
  // Asks the message loop to end; the loops and modal windows see Terminated() at once.
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Clears the flag (tests that end one "application" and start another in one process).
  void ResetTerminated() { FTerminated = false; }

  // The application-wide cursor: the hourglass over every window of the program while busy.
  void SetBusyCursor(bool busy);
  bool CursorIsBusy() const { return FBusy; }

  // Shows the standard error box for the exception being handled (call inside a catch block).
  void HandleException();
  std::function<void(const std::wstring& message)> OnException;  // replaces the box (tests)

  // A message-only window of the application, owner of timers.
  HWND UtilityWindow();

  // The program's modal windows open now, innermost last: modal forms, message dialogs and the
  // system's dialogs (a null window when the system's dialog is not known to the caller).
  void BeginModal(HWND window) { FModalWindows.push_back(window); }
  void EndModal();
  // True when a modal window other than window itself is open: input meant for window must wait.
  bool ModalOver(HWND window) const { return !FModalWindows.empty() && FModalWindows.back() != window; }

 private:
  Application() = default;
  bool PreTranslate(MSG& msg);
  void Dispatch(MSG& msg);
  bool Handle(MSG& msg);

  std::wstring FTitle, FHelpFile;
  Form* FMainForm = nullptr;
  bool FTerminated = false;
  bool FBusy = false;
  HWND FUtility = nullptr;
  std::vector<HWND> FModalWindows;
};

// A modal window of the program for the holder's lifetime (Application::BeginModal / EndModal).
class ModalScope {
 public:
  explicit ModalScope(HWND window = nullptr) { Application::Instance().BeginModal(window); }
  ~ModalScope() { Application::Instance().EndModal(); }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
};

}  // namespace ui
