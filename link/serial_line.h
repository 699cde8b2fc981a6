// The serial line seam: one exclusively held port, and the ports opened by COM number.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace quorvex {

// One line of text about a system call of a port that failed, with the system's error code. It
// is meant for the debug log: what the operator is told about a failed transfer stays the same.
using LineReport = std::function<void(std::string_view)>;

// 50 ms per byte plus 200 ms, in both directions: the time-outs the card has always been driven
// with, for one byte (a device server's line included).
inline constexpr std::chrono::milliseconds kByteTimeout{50 * 1 + 200};

// One open serial port, held exclusively. Closing is the destructor.
class SerialLine {
 public:
  virtual ~SerialLine() = default;
  // 1200 baud 8N1, read/write time-outs (at most 50 x 1 + 200 ms for one byte), 2048-byte
  // queues, then both queues purged. A failure changes nothing for the caller; a backend that can
  // tell of it does so through its ports' LineReport.
  virtual void Configure() = 0;
  virtual void SetRts(bool on) = 0;  // failures ignored (a pty has no RTS)
  virtual bool WriteByte(std::uint8_t b) = 0;
  // Waits up to the read time-out; false with b untouched when nothing came.
  virtual bool ReadByte(std::uint8_t& b) = 0;
};

// Opens ports by their number COM n. Each open resolves the number afresh.
class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // Exclusive open; nullptr when the port does not exist or someone else holds it.
  virtual std::unique_ptr<SerialLine> Open(int portNumber) = 0;
  // Whether Open would succeed now. Asks only: the line is left exactly as it was, since a port
  // that is free of our lock may still be in use by a program that takes none.
  virtual bool Probe(int portNumber) { return Open(portNumber) != nullptr; }
  // The check before a transfer opens port n: Probe, except that a port which can be asked only
  // by opening it (a device server's) keeps the line it opened for the Open of n that follows,
  // until that Open or ReleaseChecked.
  virtual bool CheckForOpen(int portNumber) { return Probe(portNumber); }
  // A line a check kept and no Open took (the transfer ended before its open), closed.
  virtual void ReleaseChecked() {}
  // Where the lines opened from now on tell of their failed system calls; empty: nowhere. Probe
  // never tells: a sweep over every number would fill the log with ports that do not exist.
  virtual void SetLineReport(LineReport report) { static_cast<void>(report); }
};

struct PortNameEnvironment;

// The ports of the machine the program runs on (termios on POSIX, the Win32 calls on Windows).
std::unique_ptr<SerialPorts> MakeSystemSerialPorts();
// As above, with COM n resolved in the given environment instead of the process's (Windows has
// only its own names and ignores it).
std::unique_ptr<SerialPorts> MakeSystemSerialPorts(const PortNameEnvironment& env);

}  // namespace quorvex
