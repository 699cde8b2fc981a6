// The real clock: pauses that sleep, time from the steady clock.
#include "link/clock.h"

#include <thread>

namespace quorvex {

void SteadyClock::Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::chrono::steady_clock::time_point SteadyClock::Now() const {
  return std::chrono::steady_clock::now();
}

}  // namespace quorvex
