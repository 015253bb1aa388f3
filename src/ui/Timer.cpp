// Timers on the application's utility window, looked up by id so a freed timer never fires.
#include "ui/Timer.h"
#include "ui/Application.h"
#include <map>

namespace ui {

namespace {
std::map<UINT_PTR, Timer*>& Timers() {
  static std::map<UINT_PTR, Timer*> timers;
  return timers;
}
UINT_PTR NextId() {
  static UINT_PTR next = 1;
  return next++;
}
}  // namespace

Timer::~Timer() {
  FEnabled = false;
  Update();
}

void Timer::SetInterval(UINT ms) {
  FInterval = ms;
  Update();
}

void Timer::SetEnabled(bool enabled) {
  FEnabled = enabled;
  Update();
}

void Timer::Update() {
  HWND w = Application::Instance().UtilityWindow();
  if (FId) {
    KillTimer(w, FId);
    Timers().erase(FId);
    FId = 0;
  }
  if (FEnabled && FInterval > 0) {
    FId = NextId();
    Timers()[FId] = this;
    SetTimer(w, FId, FInterval, nullptr);
  }
}

void Timer::Fire(UINT_PTR id) {
  auto it = Timers().find(id);
  if (it != Timers().end() && it->second->OnTimer) it->second->OnTimer(nullptr);
}

}  // namespace ui
