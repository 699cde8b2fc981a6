// The Win32 backend of the serial line, held with share mode 0.
#pragma once

#include <memory>

#include "link/line_faults.h"
#include "link/serial_line.h"

namespace quorvex {

// A COM port opened with share mode 0, so Windows itself keeps every other opener out. Every
// call that fails is told to the report with its GetLastError code; the results the procedures
// above rely on stay those of the card's tool.
class Win32SerialLine : public SerialLine {
 public:
  // nullptr when the port does not exist or another program holds it.
  static std::unique_ptr<Win32SerialLine> Open(int portNumber, const LineReport& report);

  ~Win32SerialLine() override;
  Win32SerialLine(const Win32SerialLine&) = delete;
  Win32SerialLine& operator=(const Win32SerialLine&) = delete;

  void Configure() override;
  void SetRts(bool on) override;
  // False when the byte did not leave within the write time-out.
  bool WriteByte(std::uint8_t b) override;
  bool ReadByte(std::uint8_t& b) override;

 private:
  Win32SerialLine(void* handle, int portNumber, const LineReport& report);
  // Tells the report of `call` with the calling thread's last error when `succeeded` is false.
  void Check(bool succeeded, const char* call);

  void* handle_;  // a HANDLE; kept opaque so callers need no Windows header
  LineFaults faults_;
};

class Win32SerialPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialLine> Open(int portNumber) override;
  bool Probe(int portNumber) override;
  void SetLineReport(LineReport report) override { report_ = std::move(report); }

 private:
  LineReport report_;
};

}  // namespace quorvex
