// Acts as the user in a modal window shown by the code under test.
#include "support/DialogUser.h"
#include <gtest/gtest.h>

namespace testsupport {

namespace {
struct Acting {
  std::function<HWND()> window;
  std::function<void(HWND)> user;
  bool done = false;
};
Acting* g_acting = nullptr;

void CALLBACK Act(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_acting) return;
  HWND w = g_acting->window();
  if (!w || !IsWindowVisible(w)) return;
  if (g_acting->done) {
    // The window refused what the user did and shows a message: fail rather than hang.
    HWND box = GetWindow(w, GW_ENABLEDPOPUP);
    if (box && box != w) {
      ADD_FAILURE() << "the window showed an unexpected message";
      for (WPARAM id : {IDNO, IDCANCEL, IDOK}) PostMessageW(box, WM_COMMAND, id, 0);
      PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    }
    return;
  }
  g_acting->done = true;
  g_acting->user(w);
}
}  // namespace

bool ActingInModalWindow() { return g_acting != nullptr; }

bool ActInModalWindow(const std::function<HWND()>& window, const std::function<void(HWND)>& user,
                      const std::function<void()>& show) {
  Acting acting{window, user};
  // Restored on every way out, a throwing show() included: a timer left running would call Act
  // later, from another test's message loop, on this frame's dead locals.
  struct Restore {
    Acting* outer;
    UINT_PTR timer = 0;
    ~Restore() {
      if (timer) KillTimer(nullptr, timer);
      g_acting = outer;
    }
  } restore{g_acting};
  g_acting = &acting;
  restore.timer = SetTimer(nullptr, 0, 20, Act);
  show();
  return acting.done;
}

}  // namespace testsupport
