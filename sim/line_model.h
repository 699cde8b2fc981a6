// The serial line and the USB adapter between the program and the simulated card, on the
// simulator's own time.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace quorvex::sim {

using Micros = std::chrono::microseconds;

struct LineSettings {
  unsigned baud = 0;                            // 0: bytes cross the line at once
  std::chrono::milliseconds adapterLatency{0};  // 0: no adapter holds the card's bytes back
  // The receive trigger of the PC's own UART (1, 4, 8 or 14 bytes); needs a baud rate. Either an
  // adapter or the PC's own port: with an adapter latency this is not looked at.
  unsigned uartTrigger = 1;
};

struct TimedByte {
  std::uint8_t byte = 0;
  Micros at{0};
};

// A real card sits on a 1200-baud line, and most PCs reach it through a USB serial adapter.
// Each byte takes ten bit times on the line and waits behind the bytes before it. The adapter
// keeps what the card sent until its free-running latency timer ticks (ticks at whole multiples
// of the latency, counted from time zero), or hands it over at once when 62 bytes are waiting:
// the chip's receive buffer is then full. The program's own bytes go out without such a wait.
//
// A PC's own port instead is a 16550-type UART: it hands what it received to the driver when its
// receive FIFO holds the trigger count, or after its character time-out, four byte times after
// the last byte came with no new one (33.3 ms at 1200 baud). A trigger of 1 hands every byte
// over as it arrives.
//
// Nothing here reads a clock: every call says when it happens, so the model runs on whatever time
// its caller keeps, and a test can check its timing without waiting for it.
class LineModel {
 public:
  static constexpr std::size_t kAdapterBuffer = 62;

  explicit LineModel(LineSettings settings = {});

  // The time one byte takes on the line (ten bit times); zero without a baud rate.
  Micros ByteTime() const { return byteTime_; }
  bool HoldsBack() const { return latency_.count() > 0 || uartTrigger_ > 1; }
  // What holds the card's bytes back, for the frame log: "adapter" or "UART".
  const char* Holder() const { return latency_.count() > 0 ? "adapter" : "UART"; }

  // The program wrote `bytes` at `now`.
  void FromProgram(std::span<const std::uint8_t> bytes, Micros now);
  // The card starts sending `bytes` at `now`. Returns when the last of them is through the line.
  Micros FromCard(std::span<const std::uint8_t> bytes, Micros now);

  // The bytes that have reached the card by `now`, each with the time it arrived.
  std::vector<TimedByte> TakeArrivedAtCard(Micros now);
  // The bytes the adapter has handed to the program by `now`, each with the time of the hand-over.
  std::vector<TimedByte> TakeDeliveredToProgram(Micros now);

  // When the next byte reaches the card or the program; nothing while the line is idle.
  std::optional<Micros> NextDue() const;

 private:
  std::optional<Micros> NextHandOver() const;

  Micros byteTime_;
  Micros latency_;
  std::size_t uartTrigger_;
  std::deque<TimedByte> toCard_;     // with the time each reaches the card
  Micros toCardFree_{0};             // when the line towards the card is free again
  std::deque<TimedByte> toAdapter_;  // with the time each reaches the adapter or the UART
  Micros fromCardFree_{0};
};

}  // namespace quorvex::sim
