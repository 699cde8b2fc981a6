// Fine pauses elsewhere: the kernel ends a sleep on time already, so nothing is asked for.
#include "link/clock.h"

namespace quorvex {

bool SteadyClock::BeginFinePauses() {
  return false;
}

void SteadyClock::EndFinePauses() {}

}  // namespace quorvex
