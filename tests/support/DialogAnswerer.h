// Answers the dialogs a test makes appear: records caption, text and buttons, presses the named button.
#pragma once
#include "Base.h"
#include "ui/Timer.h"
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

struct ShownDialog {
  std::wstring className;
  std::wstring caption;
  // The texts of its static controls and read-only edits, joined by "\n" (an edit's CR LF line ends
  // read as CR).
  std::wstring text;
  std::vector<std::wstring> buttons;  // button captions in creation (left to right) order
  std::wstring defaultButton;         // caption of the button that has the default style, if any
  HWND hwnd = nullptr;
  HWND owner = nullptr;  // the window it is modal to
};

// None leaves the dialog to the test, which answers it through its window (keys, clicks).
enum class AnswerKind { Button, CloseFrame, Escape, Enter, None };
struct Answer {
  AnswerKind kind = AnswerKind::Button;
  std::wstring button;  // caption, for AnswerKind::Button
};

// While alive, every message dialog and dialog box (#32770) that becomes active on this thread is
// recorded and answered with the next queued answer, or by the responder. A dialog with nothing to
// answer it fails the test and is closed through its frame, so a test never hangs.
class DialogAnswerer {
 public:
  DialogAnswerer();
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  DialogAnswerer& Press(const std::wstring& buttonCaption);
  DialogAnswerer& CloseFrame();
  DialogAnswerer& PressEscape();
  DialogAnswerer& PressEnter();
  std::function<Answer(const ShownDialog&)> Responder;
  // Extra window classes to treat as dialogs (forms of the program shown modally).
  std::set<std::wstring> ExtraClasses;
  // Whether the system's dialog boxes (#32770) are answered too; a test that acts in a file dialog
  // itself leaves them alone.
  bool SystemDialogs = true;

  const std::vector<ShownDialog>& Shown() const { return FShown; }
  size_t PendingAnswers() const { return FQueue.size(); }
  void Clear() { FShown.clear(); }

  // The answerer alive on this thread, if any.
  static DialogAnswerer* Active();
  // Reads a dialog window as the answerer records it.
  static ShownDialog Read(HWND hwnd);
  // Carries out an answer on a dialog window (posted, so the dialog's own loop handles it).
  static bool Carry(HWND hwnd, const Answer& a);

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp);
  void OnActivate(HWND hwnd);

  HHOOK FHook = nullptr;
  HHOOK FCallHook = nullptr;  // sees a dialog hidden, so that its next show is answered again
  std::deque<Answer> FQueue;
  std::vector<ShownDialog> FShown;
  std::set<HWND> FAnswered;
  DialogAnswerer* FPrevious = nullptr;
};

// Runs steps one after another from whatever message loop is running: a test acts inside modal dialogs
// it has left unanswered (AnswerKind::None). Each step runs once the loop has handled what the step
// before left queued; a step that returns false (what it waits for is not there yet) runs again at the
// next tick. Steps still waiting when the object goes never run.
class LoopSteps {
 public:
  explicit LoopSteps(std::vector<std::function<bool()>> steps, UINT intervalMs = 30);
  bool Done() const { return FNext >= FSteps.size(); }

 private:
  std::vector<std::function<bool()>> FSteps;
  size_t FNext = 0;
  ui::Timer FTimer;
};

// Pumps messages until the predicate holds or the timeout passes; returns the predicate's last value.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps the messages that are pending now and those that arrive within the given time.
void PumpFor(DWORD ms);

}  // namespace testsupport
