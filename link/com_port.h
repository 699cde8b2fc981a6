// The transfers' one COM port and the byte transport the register exchange uses.
#pragma once

#include <cstdint>
#include <memory>

#include "link/serial_line.h"

namespace quorvex {

class Clock;
class Operator;
struct AppContext;

// The byte transport the register exchange needs.
class ByteLink {
 public:
  virtual ~ByteLink() = default;
  // Sends one byte, then pauses 10 ms; false only when no port is open.
  virtual bool WriteComByte(std::uint8_t b) = 0;
  // Pauses 10 ms, then reads one byte under the time-outs; b = 0 when nothing came.
  virtual bool ReadComByte(std::uint8_t& b) = 0;
};

// The one COM port of the program: opened at the start of a transfer, closed at its end.
class ComPort : public ByteLink {
 public:
  ComPort(SerialPorts& ports, Clock& clock, Operator& op, const AppContext& ctx);
  ~ComPort() override;
  ComPort(const ComPort&) = delete;
  ComPort& operator=(const ComPort&) = delete;

  // Opens COM ctx.comPortNumber; on failure shows the German "Fehler" box and stays closed.
  void OpenComPort();
  void CloseComPort();
  void SetRts();
  void ClearRts();
  bool WriteComByte(std::uint8_t b) override;
  bool ReadComByte(std::uint8_t& b) override;
  // Whether port n can be had for the transfer about to open it; never touches the transfer's
  // open line. A local port is opened and closed at once; a device server's port keeps the line
  // the check opened for OpenComPort, or for CloseComPort to close.
  bool ComPortAvailable(int n);
  bool IsOpen() const { return line_ != nullptr; }

 private:
  SerialPorts& ports_;
  Clock& clock_;
  Operator& op_;
  const AppContext& ctx_;
  std::unique_ptr<SerialLine> line_;
};

}  // namespace quorvex
