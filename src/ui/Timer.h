// A timer of the user-interface thread that runs its handler at an interval while enabled.
#pragma once
#include "ui/Control.h"

namespace ui {

class Timer {
 public:
  Timer() = default;
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void SetInterval(UINT ms);
  UINT Interval() const { return FInterval; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return FEnabled; }

  NotifyEvent OnTimer;
  // Runs the handler of the timer with the given id (the application's utility window calls this).
  static void Fire(UINT_PTR id);

 private:
  void Update();
  UINT FInterval = 1000;
  bool FEnabled = false;
  UINT_PTR FId = 0;
};

}  // namespace ui
