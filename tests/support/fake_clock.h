// Virtual time for tests: each pause advances the clock at once and is recorded.
#pragma once

#include <chrono>
#include <vector>

#include "link/clock.h"

namespace quorvex::testing {

// Virtual time: Sleep advances it at once and records the pause.
class FakeClock : public Clock {
 public:
  void Sleep(int milliseconds) override {
    pauses.push_back(milliseconds);
    now_ += std::chrono::milliseconds(milliseconds);
  }
  std::chrono::steady_clock::time_point Now() const override { return now_; }
  void Advance(std::chrono::milliseconds d) { now_ += d; }
  long long TotalMs() const {
    long long total = 0;
    for (int p : pauses) total += p;
    return total;
  }

  std::vector<int> pauses;

 private:
  std::chrono::steady_clock::time_point now_{};
};

}  // namespace quorvex::testing
