// The Win32 backend of the serial line, held with share mode 0.
#pragma once

#include <memory>

#include "link/serial_line.h"

namespace quorvex {

// A COM port opened with share mode 0, so Windows itself keeps every other opener out.
class Win32SerialLine : public SerialLine {
 public:
  // nullptr when the port does not exist or another program holds it.
  static std::unique_ptr<Win32SerialLine> Open(int portNumber);

  ~Win32SerialLine() override;
  Win32SerialLine(const Win32SerialLine&) = delete;
  Win32SerialLine& operator=(const Win32SerialLine&) = delete;

  void Configure() override;
  void SetRts(bool on) override;
  bool WriteByte(std::uint8_t b) override;
  bool ReadByte(std::uint8_t& b) override;

 private:
  explicit Win32SerialLine(void* handle) : handle_(handle) {}

  void* handle_;  // a HANDLE; kept opaque so callers need no Windows header
};

class Win32SerialPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialLine> Open(int portNumber) override;
};

}  // namespace quorvex
