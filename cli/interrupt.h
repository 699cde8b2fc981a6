// Ctrl+C during a transfer: noted, then raised from the next pause so closing steps still run.
#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>

#include "link/clock.h"

namespace quorvex::cli {

// Leaves a transfer from inside one of its pauses once Ctrl+C has come, so the transfer's own
// closing steps release the card and the port on the way out.
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("Interrupted") {}
};

// Takes Ctrl+C and termination requests for itself while it lives: instead of ending the process
// with the port in the middle of a frame, they are noted and the next pause reports them. Once a
// request came it stays noted.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // Waits up to the given time; true at once when a request came, now or before.
  bool WaitFor(int milliseconds);
  // Waits for the operator to press Enter on standard input; false when a request came first or
  // the input ended.
  bool WaitForEnter();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The transfers' clock: real pauses that end early, with Interrupted, on Ctrl+C.
class InterruptibleClock : public Clock {
 public:
  explicit InterruptibleClock(InterruptWatch& watch) : watch_(watch) {}
  void Sleep(int milliseconds) override {
    if (watch_.WaitFor(milliseconds)) throw Interrupted();
  }
  std::chrono::steady_clock::time_point Now() const override {
    return std::chrono::steady_clock::now();
  }

 private:
  InterruptWatch& watch_;
};

}  // namespace quorvex::cli
