// The Win32 backend: the COM port opened, configured and read with the required calls.
#include "link/win32_serial.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "link/port_names.h"

namespace quorvex {

std::unique_ptr<Win32SerialLine> Win32SerialLine::Open(int portNumber) {
  const std::string name = Win32ComDeviceName(portNumber);
  HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::unique_ptr<Win32SerialLine>(new Win32SerialLine(handle));
}

Win32SerialLine::~Win32SerialLine() {
  ::CloseHandle(static_cast<HANDLE>(handle_));
}

// The card's tool never examined the results of these calls; a port that refuses a setting
// shows up as failed exchanges instead.
void Win32SerialLine::Configure() {
  HANDLE handle = static_cast<HANDLE>(handle_);
  DCB dcb{};
  dcb.DCBlength = sizeof(dcb);
  ::GetCommState(handle, &dcb);
  dcb.BaudRate = 1200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  ::SetCommState(handle, &dcb);

  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 50;
  timeouts.ReadTotalTimeoutMultiplier = 50;
  timeouts.ReadTotalTimeoutConstant = 200;
  timeouts.WriteTotalTimeoutMultiplier = 50;
  timeouts.WriteTotalTimeoutConstant = 200;
  ::SetCommTimeouts(handle, &timeouts);

  ::SetupComm(handle, 2048, 2048);
  ::PurgeComm(handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void Win32SerialLine::SetRts(bool on) {
  ::EscapeCommFunction(static_cast<HANDLE>(handle_), on ? SETRTS : CLRRTS);
}

bool Win32SerialLine::WriteByte(std::uint8_t b) {
  DWORD written = 0;
  ::WriteFile(static_cast<HANDLE>(handle_), &b, 1, &written, nullptr);
  return true;
}

bool Win32SerialLine::ReadByte(std::uint8_t& b) {
  std::uint8_t buffer = 0;
  DWORD read = 0;
  ::ReadFile(static_cast<HANDLE>(handle_), &buffer, 1, &read, nullptr);
  if (read == 0) return false;
  b = buffer;
  return true;
}

std::unique_ptr<SerialLine> Win32SerialPorts::Open(int portNumber) {
  return Win32SerialLine::Open(portNumber);
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts() {
  return std::make_unique<Win32SerialPorts>();
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts(const PortNameEnvironment&) {
  return std::make_unique<Win32SerialPorts>();
}

}  // namespace quorvex
