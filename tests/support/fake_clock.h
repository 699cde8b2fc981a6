// Virtual time for tests: each pause advances the clock at once and is recorded.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include "link/clock.h"

namespace quorvex::testing {

// Virtual time: Sleep advances it at once and records the pause. Fine pauses are counted, and
// so are the pauses made without them.
class FakeClock : public Clock {
 public:
  void Sleep(int milliseconds) override {
    pauses.push_back(milliseconds);
    if (!grantFine || fineBegun == fineEnded) ++coarsePauses;
    now_ += std::chrono::milliseconds(milliseconds);
  }
  std::chrono::steady_clock::time_point Now() const override { return now_; }
  bool BeginFinePauses() override {
    ++fineBegun;
    return grantFine;
  }
  void EndFinePauses() override { ++fineEnded; }
  void Advance(std::chrono::milliseconds d) { now_ += d; }
  long long TotalMs() const {
    long long total = 0;
    for (int p : pauses) total += p;
    return total;
  }

  std::vector<int> pauses;
  bool grantFine = true;
  int fineBegun = 0;
  int fineEnded = 0;
  std::size_t coarsePauses = 0;

 private:
  std::chrono::steady_clock::time_point now_{};
};

}  // namespace quorvex::testing
