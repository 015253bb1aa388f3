// Acts as the user in a modal window that a test cannot answer through the dialog hook (a system
// file dialog): the user's part runs once the window is on the screen.
#pragma once
#include "Base.h"
#include <functional>

namespace testsupport {

// Runs show (which shows the window modally and returns when it closes). While it runs, once
// window() gives a visible window, user(window) runs once; user must end the window. A message box
// that the window then raises fails the test and is closed with the window, so a test never hangs.
// False when the window never showed.
bool ActInModalWindow(const std::function<HWND()>& window, const std::function<void(HWND)>& user,
                      const std::function<void()>& show);
// Whether an ActInModalWindow is under way (none may outlive its test).
bool ActingInModalWindow();

}  // namespace testsupport
