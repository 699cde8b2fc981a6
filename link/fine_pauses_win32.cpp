// Fine pauses on Windows: the system timer at 1 ms while a transfer runs, so a 10 ms byte pause
// lasts 10 ms and not one 15.6 ms tick.
#include <windows.h>
// After windows.h, which it builds on.
#include <mmsystem.h>

#include "link/clock.h"

namespace quorvex {

namespace {
constexpr UINT kFinePeriodMs = 1;
}

bool SteadyClock::BeginFinePauses() {
  return timeBeginPeriod(kFinePeriodMs) == TIMERR_NOERROR;
}

void SteadyClock::EndFinePauses() {
  timeEndPeriod(kFinePeriodMs);
}

}  // namespace quorvex
