// The Win32 backend: the COM port opened, configured and read with the required calls.
#include "link/win32_serial.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// CTL_CODE and the device types need the types windows.h defines.
#include <winioctl.h>

#include <string>

#include "link/port_names.h"
#include "link/uart_fifo.h"
#include "link/win32_line_settings.h"

namespace quorvex {

static_assert(win32::kNoParity == NOPARITY && win32::kOneStopBit == ONESTOPBIT);
static_assert(win32::kDtrControlEnable == DTR_CONTROL_ENABLE);
static_assert(win32::kRtsControlEnable == RTS_CONTROL_ENABLE);
static_assert(kErrorInvalidFunction == ERROR_INVALID_FUNCTION &&
              kErrorNotSupported == ERROR_NOT_SUPPORTED &&
              kErrorInvalidParameter == ERROR_INVALID_PARAMETER);

namespace {

HANDLE OpenDevice(int portNumber) {
  const std::string name = Win32ComDeviceName(portNumber);
  return ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string PortName(int portNumber) {
  return "COM" + std::to_string(portNumber);
}

// ntddser.h's code, spelled out: that header wants kernel types a program does not have.
constexpr DWORD kSetFifoControl =
    CTL_CODE(FILE_DEVICE_SERIAL_PORT, 39, METHOD_BUFFERED, FILE_ANY_ACCESS);

// The serial driver writes the value's low byte to the UART's FIFO control register.
class Win32FifoControl : public FifoControlIo {
 public:
  explicit Win32FifoControl(HANDLE handle) : handle_(handle) {}
  unsigned long Set(unsigned long fifoControl) override {
    ULONG value = fifoControl;
    DWORD returned = 0;
    return ::DeviceIoControl(handle_, kSetFifoControl, &value, sizeof value, nullptr, 0, &returned,
                             nullptr) != FALSE
               ? 0
               : ::GetLastError();
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<Win32SerialLine> Win32SerialLine::Open(int portNumber, const LineReport& report) {
  HANDLE handle = OpenDevice(portNumber);
  if (handle == INVALID_HANDLE_VALUE) {
    LineFaults(PortName(portNumber), report).Failed("CreateFileA", ::GetLastError());
    return nullptr;
  }
  // Owned from here on, so the handle closes on every path.
  std::unique_ptr<Win32SerialLine> line(new Win32SerialLine(handle, portNumber, report));
  Win32FifoControl fifo(handle);
  AskOneByteTrigger(fifo, PortName(portNumber), report);
  return line;
}

Win32SerialLine::Win32SerialLine(void* handle, int portNumber, const LineReport& report)
    : handle_(handle), faults_(PortName(portNumber), report) {}

Win32SerialLine::~Win32SerialLine() {
  Check(::CloseHandle(static_cast<HANDLE>(handle_)) != FALSE, "CloseHandle");
}

void Win32SerialLine::Check(bool succeeded, const char* call) {
  if (!succeeded) faults_.Failed(call, ::GetLastError());
}

// A refused setting still leaves the transfer to run: it shows up as failed exchanges, which
// the operator is told of in the usual words, and the report says which call it was.
void Win32SerialLine::Configure() {
  HANDLE handle = static_cast<HANDLE>(handle_);
  DCB dcb{};
  dcb.DCBlength = sizeof(dcb);
  Check(::GetCommState(handle, &dcb) != FALSE, "GetCommState");
  win32::SetCardLine(dcb);
  Check(::SetCommState(handle, &dcb) != FALSE, "SetCommState");

  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 50;
  timeouts.ReadTotalTimeoutMultiplier = 50;
  timeouts.ReadTotalTimeoutConstant = 200;
  timeouts.WriteTotalTimeoutMultiplier = 50;
  timeouts.WriteTotalTimeoutConstant = 200;
  Check(::SetCommTimeouts(handle, &timeouts) != FALSE, "SetCommTimeouts");

  Check(::SetupComm(handle, 2048, 2048) != FALSE, "SetupComm");
  Check(::PurgeComm(handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) != FALSE,
        "PurgeComm");
}

void Win32SerialLine::SetRts(bool on) {
  Check(::EscapeCommFunction(static_cast<HANDLE>(handle_), on ? SETRTS : CLRRTS) != FALSE,
        on ? "EscapeCommFunction(SETRTS)" : "EscapeCommFunction(CLRRTS)");
}

bool Win32SerialLine::WriteByte(std::uint8_t b) {
  DWORD written = 0;
  const bool succeeded = ::WriteFile(static_cast<HANDLE>(handle_), &b, 1, &written, nullptr);
  Check(succeeded, "WriteFile");
  // A write that only timed out succeeds with nothing written: a line held back by a handshake.
  if (succeeded && written == 0) faults_.Note("WriteFile sent nothing within its time-out");
  return written == 1;
}

bool Win32SerialLine::ReadByte(std::uint8_t& b) {
  std::uint8_t buffer = 0;
  DWORD read = 0;
  // Nothing read within the time-out is no failure of the call: the card did not answer.
  Check(::ReadFile(static_cast<HANDLE>(handle_), &buffer, 1, &read, nullptr) != FALSE, "ReadFile");
  if (read == 0) return false;
  b = buffer;
  return true;
}

std::unique_ptr<SerialLine> Win32SerialPorts::Open(int portNumber) {
  return Win32SerialLine::Open(portNumber, report_);
}

bool Win32SerialPorts::Probe(int portNumber) {
  HANDLE handle = OpenDevice(portNumber);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(handle);
  return true;
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts() {
  return std::make_unique<Win32SerialPorts>();
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts(const PortNameEnvironment&) {
  return std::make_unique<Win32SerialPorts>();
}

}  // namespace quorvex
