// Scoped guards that fix the clock or the local time-zone bias for one test.
#pragma once
#include "comm/Clock.h"

namespace testsupport {

// 100-nanosecond units per hour, for biases: UTC minus local, so Japan (UTC+9) is -9 hours.
constexpr int64_t kHour100ns = 36000000000LL;

class FixedLocalBias {
 public:
  explicit FixedLocalBias(int64_t bias) { comm::FixLocalTimeBiasForTesting(bias); }
  ~FixedLocalBias() { comm::FixLocalTimeBiasForTesting(std::nullopt); }
  FixedLocalBias(const FixedLocalBias&) = delete;
  FixedLocalBias& operator=(const FixedLocalBias&) = delete;
};

class FixedNow {
 public:
  explicit FixedNow(comm::TDateTime now) { comm::FixNowForTesting(now); }
  ~FixedNow() { comm::FixNowForTesting(std::nullopt); }
  FixedNow(const FixedNow&) = delete;
  FixedNow& operator=(const FixedNow&) = delete;
};

}  // namespace testsupport
