// The one message dialog of the program: caption, text, optional icon, buttons in order, modal.
#pragma once
#include "Base.h"
#include <string>
#include <vector>

namespace ui {

enum class MsgIcon { None, Information, Warning, Error, Question };

struct MessageDialogOptions {
  std::wstring caption;
  std::wstring text;
  MsgIcon icon = MsgIcon::None;
  std::vector<std::wstring> buttons{L"OK"};  // captions in order, left to right
  int defaultButton = 0;                     // index of the button that has the focus and answers Enter
  // Index of the button Esc answers. -1: Esc does nothing, and the close box, the system menu's Close
  // and Alt+F4 are disabled, since no answer stands for "closed".
  int escapeButton = -1;
  HWND owner = nullptr;                      // disabled while the dialog is shown (null: the active window)
  // Shown also while the application is terminating (errors met while it shuts down, such as
  // settings that cannot be saved); other dialogs close at once then.
  bool showWhileTerminating = false;
  // Lines shown on request (every path a command will touch, say): a button kDetailsShow after the
  // others opens a list of them below the buttons, where they scroll, and closes it again. It answers
  // nothing.
  std::vector<std::wstring> details;
  // The help topic F1 opens in the dialog; empty: the one of the window the dialog belongs to.
  std::wstring helpTopic;
};

inline constexpr const wchar_t* kDetailsShow = L"詳細(&D) >>";
inline constexpr const wchar_t* kDetailsHide = L"<< 詳細(&D)";

// Result when the dialog was closed through its frame (close box, Alt+F4; only a dialog with an Esc
// button) or closed because the application is terminating, rather than by one of its buttons.
constexpr int kDialogClosed = -1;

// Shows the dialog centred on the screen and waits for the answer: the index of the pressed button,
// or kDialogClosed. While the application is terminating it closes at once with kDialogClosed, unless
// showWhileTerminating is set.
int ShowMessageDialog(const MessageDialogOptions& options);

// Window class of the dialog, so that tests and hooks can recognise it.
constexpr const wchar_t* kMessageDialogClass = L"VssMessageDialog";

}  // namespace ui
