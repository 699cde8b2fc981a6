// A PC's own UART asked, at every open, to hand each received byte over at once.
#pragma once

#include <string>

#include "link/serial_line.h"

namespace quorvex {

// The bits of the UART's FIFO control register, as Windows' serial driver takes them
// (IOCTL_SERIAL_SET_FIFO_CONTROL); both trigger bits clear is a 1-byte receive trigger.
inline constexpr unsigned long kFifoEnable = 0x01;
inline constexpr unsigned long kReceiveFifoReset = 0x02;
inline constexpr unsigned long kTransmitFifoReset = 0x04;
inline constexpr unsigned long kOneByteTrigger =
    kFifoEnable | kReceiveFifoReset | kTransmitFifoReset;

// Windows' answers of a driver that has no UART FIFO to set (a USB adapter's driver; Wine), by
// value so that they can be told apart on any platform; the backend checks them against
// <windows.h> when it is built.
inline constexpr unsigned long kErrorInvalidFunction = 1;    // ERROR_INVALID_FUNCTION
inline constexpr unsigned long kErrorNotSupported = 50;      // ERROR_NOT_SUPPORTED
inline constexpr unsigned long kErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER

// The FIFO control of one open port, behind an interface so that the request can be followed in
// a test.
class FifoControlIo {
 public:
  virtual ~FifoControlIo() = default;
  // 0, or the error code the system gave.
  virtual unsigned long Set(unsigned long fifoControl) = 0;
};

enum class FifoAnswer { kGranted, kRefused, kFailed };

// Asks for a 1-byte receive trigger; with both FIFOs reset, so it must come before the first byte
// of a transfer. Windows' serial driver sets the trigger from the port's RxFIFO value (8 unless
// changed) at every open and keeps nothing of this request, so every open asks again and nothing
// is given back. A 4-byte reply otherwise waits in the FIFO for the UART's character time-out
// (33 ms at 1200 baud). A port that refuses is used as it is: that is no error. Says once which
// happened.
FifoAnswer AskOneByteTrigger(FifoControlIo& io, const std::string& port, const LineReport& report);

}  // namespace quorvex
