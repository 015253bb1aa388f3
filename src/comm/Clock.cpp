// The clock and the local time-zone bias, with the fixed values tests may set.
#include "comm/Clock.h"

namespace comm {
namespace {

std::optional<TDateTime> gFixedNow;
std::optional<int64_t> gFixedBias;
std::function<uint64_t()> gFixedTicks;

int64_t ToInt(const FILETIME& ft) { return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime); }

}  // namespace

TDateTime Now() {
  if (gFixedNow) return *gFixedNow;
  SYSTEMTIME st;
  GetLocalTime(&st);
  TDateTime value = 0;
  TryEncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds}, value);
  return value;
}

int64_t LocalTimeBias() {
  if (gFixedBias) return *gFixedBias;
  // The system applies the bias in force now to any file time; any fixed time far from both ends
  // of the range reads it.
  constexpr uint64_t kReference = 0x01D0000000000000ull;  // in 2015
  FILETIME utc{static_cast<DWORD>(kReference), static_cast<DWORD>(kReference >> 32)}, local;
  if (!FileTimeToLocalFileTime(&utc, &local)) return 0;
  return ToInt(utc) - ToInt(local);
}

uint64_t Ticks() { return gFixedTicks ? gFixedTicks() : GetTickCount64(); }

void FixNowForTesting(std::optional<TDateTime> now) { gFixedNow = now; }
void FixLocalTimeBiasForTesting(std::optional<int64_t> bias) { gFixedBias = bias; }
void FixTicksForTesting(std::function<uint64_t()> ticks) { gFixedTicks = std::move(ticks); }

}  // namespace comm
