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
  // Asks the system to end pauses on time rather than on its next coarse tick (Windows wakes a
  // sleeping thread every 15.6 ms unless asked for finer), until EndFinePauses. False when
  // nothing was granted; then no EndFinePauses is due. Held by FinePauses only, one transfer
  // at a time: a finer system tick costs a laptop's battery.
  virtual bool BeginFinePauses() = 0;
  virtual void EndFinePauses() = 0;
};

// Fine pauses for one transfer, given back on every way out of it.
class FinePauses {
 public:
  explicit FinePauses(Clock& clock) : clock_(clock), granted_(clock.BeginFinePauses()) {}
  ~FinePauses() {
    if (granted_) clock_.EndFinePauses();
  }
  FinePauses(const FinePauses&) = delete;
  FinePauses& operator=(const FinePauses&) = delete;

 private:
  Clock& clock_;
  bool granted_;
};

// The system's clock. Its fine pauses are the system timer's 1 ms resolution on Windows; other
// systems end pauses on time anyway, so there they ask for nothing.
class SteadyClock : public Clock {
 public:
  void Sleep(int milliseconds) override;
  std::chrono::steady_clock::time_point Now() const override;
  bool BeginFinePauses() override;
  void EndFinePauses() override;
};

}  // namespace quorvex
