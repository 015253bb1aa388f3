// The clock and the local time zone, each read through one function so that tests can fix them.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include <functional>
#include <optional>

namespace comm {

// The current local date-time.
TDateTime Now();

// UTC minus local time, in 100-nanosecond units, as in force now (the bias the system's
// FileTimeToLocalFileTime and LocalFileTimeToFileTime apply, whatever the date converted).
int64_t LocalTimeBias();

// Milliseconds since the system started, for measuring intervals.
uint64_t Ticks();

// Spaces occasional work in a long loop (handling the window's messages, drawing progress) to at most
// once an interval: a look at the message queue is a round trip to the window system, dearer than
// the work of one item, and nobody sees a bar move more than 60 times a second.
class TPace {
 public:
  explicit TPace(uint32_t intervalMs) : FInterval(intervalMs) {}
  // True at the first call and whenever the interval has passed since the last true.
  bool Due() {
    const uint64_t now = Ticks();
    if (FStarted && now - FLast < FInterval) return false;
    FStarted = true;
    FLast = now;
    return true;
  }
  // The next Due() is true whatever the time.
  void Reset() { FStarted = false; }

 private:
  uint32_t FInterval;
  bool FStarted = false;
  uint64_t FLast = 0;
};

// Fixes what Now and LocalTimeBias return; nullopt gives the system's own back.
void FixNowForTesting(std::optional<TDateTime> now);
void FixLocalTimeBiasForTesting(std::optional<int64_t> bias);
// Makes Ticks read the given function; an empty one gives the system's own back.
void FixTicksForTesting(std::function<uint64_t()> ticks);

}  // namespace comm
