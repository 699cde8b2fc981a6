// The clock seam, so a transfer's fixed pauses can run on virtual time in a test.
#pragma once

#include <chrono>

namespace quorvex {

// Pauses and time go through this seam, so a whole transfer with its fixed pauses can run on
// virtual time in a test.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(int milliseconds) = 0;
  virtual std::chrono::steady_clock::time_point Now() const = 0;
};

class SteadyClock : public Clock {
 public:
  void Sleep(int milliseconds) override;
  std::chrono::steady_clock::time_point Now() const override;
};

}  // namespace quorvex
