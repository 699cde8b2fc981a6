// The --trace file and serial ports whose lines report each frame, unknown to the procedures.
#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/serial_line.h"

namespace quorvex::cli {

// The --trace file: one line per event, with the milliseconds since the command started.
class TraceLog {
 public:
  // Throws FileError when the file cannot be created.
  explicit TraceLog(const std::string& path);
  void Line(std::string_view text);

 private:
  std::ofstream out_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Called after each exchange whose reply passed its check, with the register's address.
using RegisterDone = std::function<void(std::uint16_t address)>;

// Serial ports whose lines report every request and reply frame to the trace and every good
// reply to the progress display. The procedures above never know they are watched.
class WatchedPorts : public SerialPorts {
 public:
  // `portName` names a port in the trace ("COM3", a device server's URL); empty: "COM" and n.
  WatchedPorts(SerialPorts& ports, TraceLog* trace, RegisterDone onRegister,
               std::function<std::string(int)> portName = {})
      : ports_(ports),
        trace_(trace),
        onRegister_(std::move(onRegister)),
        portName_(std::move(portName)) {}

  std::unique_ptr<SerialLine> Open(int portNumber) override;
  bool Probe(int portNumber) override { return ports_.Probe(portNumber); }
  bool CheckForOpen(int portNumber) override { return ports_.CheckForOpen(portNumber); }
  void ReleaseChecked() override { ports_.ReleaseChecked(); }
  void SetLineReport(LineReport report) override { ports_.SetLineReport(std::move(report)); }

 private:
  SerialPorts& ports_;
  TraceLog* trace_;
  RegisterDone onRegister_;
  std::function<std::string(int)> portName_;
};

}  // namespace quorvex::cli
