// The driver's low latency mode for one open port, asked for at open and given back at close.
#pragma once

#include <string>

#include "link/serial_line.h"

namespace quorvex {

// The driver's serial flags of one open port (on Linux TIOCGSERIAL and TIOCSSERIAL), the calls
// behind an interface so that asking and giving back can be followed in a test.
class SerialFlagsIo {
 public:
  virtual ~SerialFlagsIo() = default;
  // 0, or the error code the system gave.
  virtual int Get(int& flags) = 0;
  virtual int Set(int flags) = 0;
};

// Linux's ASYNC_LOW_LATENCY: a USB serial driver with a latency timer then sets it to 1 ms.
inline constexpr int kLowLatencyFlag = 1 << 13;

// Asks the driver for low latency and, if it changed the flags, gives the old ones back when it
// goes. A USB adapter otherwise holds the card's reply until its latency timer ticks (16 ms
// from the factory), and every exchange waits for that. A port that refuses (a pty, a built-in
// UART) is used as it is: that is no error. Says once which happened.
class LowLatency {
 public:
  LowLatency(SerialFlagsIo& io, const std::string& port, const LineReport& report);
  ~LowLatency();
  LowLatency(const LowLatency&) = delete;
  LowLatency& operator=(const LowLatency&) = delete;

 private:
  SerialFlagsIo& io_;
  int oldFlags_ = 0;
  bool changed_ = false;
};

}  // namespace quorvex
