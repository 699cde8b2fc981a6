// The termios backend of the serial line and the ports that resolve COM n on each open.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/low_latency.h"
#include "link/serial_line.h"

namespace quorvex {

// A terminal device held through one descriptor, an advisory lock and the terminal's own
// exclusive mode. The lock is what keeps a second opener out: it spans processes, every path
// to the same device (symlinks included) and root, whom the exclusive mode does not stop.
class PosixSerialLine : public SerialLine {
 public:
  // nullptr when the device cannot be opened, is not a terminal, or is held by anyone else.
  // `port` names it in what `report` is told ("COM3").
  static std::unique_ptr<PosixSerialLine> Open(const std::string& path,
                                               const std::string& port = {},
                                               const LineReport& report = {});

  ~PosixSerialLine() override;
  PosixSerialLine(const PosixSerialLine&) = delete;
  PosixSerialLine& operator=(const PosixSerialLine&) = delete;

  void Configure() override;
  void SetRts(bool on) override;
  bool WriteByte(std::uint8_t b) override;
  bool ReadByte(std::uint8_t& b) override;

 private:
  explicit PosixSerialLine(int fd) : fd_(fd) {}
  void ApplyLineSettings();

  int fd_;
  bool exclusiveModeSet_ = false;
  std::unique_ptr<SerialFlagsIo> flagsIo_;
  std::optional<LowLatency> lowLatency_;  // given back before the descriptor closes
};

// Maps COM n to a device path, or to nothing when n names no port.
using PortPathResolver = std::function<std::optional<std::string>(int)>;

class PosixSerialPorts : public SerialPorts {
 public:
  // Resolves through the process environment, afresh on every open.
  PosixSerialPorts();
  explicit PosixSerialPorts(PortPathResolver resolve) : resolve_(std::move(resolve)) {}

  std::unique_ptr<SerialLine> Open(int portNumber) override;
  // Opens and locks the terminal as Open does, but neither takes its exclusive mode nor
  // touches its settings before letting it go.
  bool Probe(int portNumber) override;
  void SetLineReport(LineReport report) override { report_ = std::move(report); }

 private:
  PortPathResolver resolve_;
  LineReport report_;
};

}  // namespace quorvex
