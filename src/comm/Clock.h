// The clock and the local time zone, each read through one function so that tests can fix them.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include <optional>

namespace comm {

// The current local date-time.
TDateTime Now();

// UTC minus local time, in 100-nanosecond units, as in force now (the bias the system's
// FileTimeToLocalFileTime and LocalFileTimeToFileTime apply, whatever the date converted).
int64_t LocalTimeBias();

// Fixes what Now and LocalTimeBias return; nullopt gives the system's own back.
void FixNowForTesting(std::optional<TDateTime> now);
void FixLocalTimeBiasForTesting(std::optional<int64_t> bias);

}  // namespace comm
