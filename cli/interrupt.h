// Ctrl+C during a transfer: noted, then taken between two register exchanges, never inside a
// frame, so closing steps still run and the card never sees half a request.
#pragma once

#include <chrono>
#include <memory>
#include <stdexcept>
#include <utility>

#include "link/clock.h"
#include "link/serial_line.h"

namespace quorvex::cli {

// Leaves a transfer between two of its frames once Ctrl+C has come, so the transfer's own
// closing steps release the card and the port on the way out.
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("Interrupted") {}
};

// Where a request to stop comes from; the watch below in the program, a script in tests.
class InterruptSource {
 public:
  virtual ~InterruptSource() = default;
  // Waits up to the given time; true at once when a request came, now or before.
  virtual bool WaitFor(int milliseconds) = 0;
};

// Takes Ctrl+C and termination requests for itself while it lives: instead of ending the process
// with the port in the middle of a frame, they are noted and the transfers ask for them. Once a
// request came it stays noted. Made before any transfer thread starts, so that every thread
// inherits its signal mask; its waits keep no state of their own and serve many threads at once.
class InterruptWatch : public InterruptSource {
 public:
  InterruptWatch();
  ~InterruptWatch() override;
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  bool WaitFor(int milliseconds) override;
  // Waits for the operator to press Enter on standard input; false when a request came first or
  // the input ended.
  bool WaitForEnter();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// One transfer's place on its line: inside a frame (from a request's first byte to the fourth
// read of its reply) or between two. A card that has no frame gap would take the next frame's
// bytes as the rest of a cut one, so a request to stop is taken only between frames.
class FrameGate {
 public:
  explicit FrameGate(InterruptSource& source) : source_(source) {}

  // Before each byte sent: at a frame's first byte a pending request ends the transfer.
  void BeforeWrite();
  // After each read, whether a byte came or not: the reply's fourth read ends the frame.
  void AfterRead();
  // A new line starts between frames.
  void Reset() { writes_ = 0, readsDue_ = 0; }
  bool InsideFrame() const { return writes_ % 4 != 0 || readsDue_ > 0; }
  InterruptSource& Source() { return source_; }

 private:
  InterruptSource& source_;
  unsigned writes_ = 0;
  unsigned readsDue_ = 0;
};

// The transfers' clock: the pauses inside a frame keep their length; a pause between frames
// ends early, with Interrupted, on Ctrl+C.
class InterruptibleClock : public Clock {
 public:
  InterruptibleClock(FrameGate& gate, Clock& pauses) : gate_(gate), pauses_(pauses) {}
  void Sleep(int milliseconds) override {
    if (gate_.InsideFrame()) return pauses_.Sleep(milliseconds);
    if (gate_.Source().WaitFor(milliseconds)) throw Interrupted();
  }
  std::chrono::steady_clock::time_point Now() const override { return pauses_.Now(); }
  // The waits for Ctrl+C between frames wake on the same system tick as the pauses.
  bool BeginFinePauses() override { return pauses_.BeginFinePauses(); }
  void EndFinePauses() override { pauses_.EndFinePauses(); }

 private:
  FrameGate& gate_;
  Clock& pauses_;
};

// Ports whose lines tell the gate where each frame begins and ends, and that leave RTS low.
class FrameGatedPorts : public SerialPorts {
 public:
  FrameGatedPorts(SerialPorts& ports, FrameGate& gate) : ports_(ports), gate_(gate) {}
  std::unique_ptr<SerialLine> Open(int portNumber) override;
  bool Probe(int portNumber) override { return ports_.Probe(portNumber); }
  bool CheckForOpen(int portNumber) override { return ports_.CheckForOpen(portNumber); }
  void ReleaseChecked() override { ports_.ReleaseChecked(); }
  // Without this the lines' own reports (failed calls, low latency) never reached the trace.
  void SetLineReport(LineReport report) override { ports_.SetLineReport(std::move(report)); }

 private:
  SerialPorts& ports_;
  FrameGate& gate_;
};

}  // namespace quorvex::cli
