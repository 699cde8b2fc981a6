// Windows' own answers about its COM ports, and the port list made from them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_devices.h"

namespace quorvex {

// A device of the Ports class or with the COM port interface, as SetupAPI describes it.
struct WindowsPortDevice {
  std::string instanceId;    // "USB\VID_0403&PID_6001\A50285BI"
  std::string friendlyName;  // SPDRP_FRIENDLYNAME, "USB Serial Port (COM3)"
  std::string maker;         // SPDRP_MFG, "FTDI"
  std::string portName;      // PortName in its device key, "COM3"
  bool present = true;       // false: installed once, not attached now
  // LatencyTimer in its device key: FTDI-class drivers keep it there; others have none.
  std::optional<int> latencyTimerMs{};
  std::string service{};  // SPDRP_SERVICE, the driver's service: "Serial" for Windows' own
  // RxFIFO in its device key: the receive trigger Windows' serial driver sets at every open.
  std::optional<int> rxFifo{};
};

// A value of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM: the driver's device and the port it makes.
struct SerialCommEntry {
  std::string device;    // the value's name, "\Device\Serial0"
  std::string portName;  // its data, "COM1"
};

// What an exclusive open of COM n, closed again at once, answered.
struct PortOpening {
  enum class Result { kOpened, kAccessDenied, kFailed };
  Result result = Result::kOpened;
  std::string error;  // the system's words for kFailed
};

// The few questions the port list asks Windows.
class WindowsPortSystem {
 public:
  virtual ~WindowsPortSystem() = default;
  // Present and absent devices alike.
  virtual std::vector<WindowsPortDevice> PortDevices() const = 0;
  virtual std::vector<SerialCommEntry> SerialComm() const = 0;
  virtual PortOpening Open(int comNumber) const = 0;
};

// The n of "COM<n>" (any letter case) for n in 1..255; 0 for any other name ("LPT1", "COM0").
int ComNumberOfPortName(const std::string& portName);

// The part of a device instance ID that stays the same when the adapter moves to another
// socket: the whole ID when its last part is the device's own (a USB serial number, FTDI's bus
// name, a built-in port's index); for a Bluetooth port, the remote device's address in place of
// the part Windows made up. "" when Windows made up the last part from where the device sits
// (an adapter without a serial number): no name would follow it to another socket.
std::string StableNameOfInstance(const std::string& instanceId);

// The COM ports in number order, a present device before an absent one on the same number:
// SetupAPI's devices, then SERIALCOMM's ports that no present device of SetupAPI names. With
// `probe` each present port is opened once to tell its state; without it, present ones are kFree.
std::vector<SerialDevice> ListWindowsPorts(const WindowsPortSystem& system, bool probe);

// This machine's answers (Windows only).
std::unique_ptr<WindowsPortSystem> MakeWin32PortSystem();

// Windows only: COM port devices plugged in or removed, told to a window as WM_DEVICECHANGE for
// as long as this lives. A window that could not be registered gets only the broadcasts that
// Windows sends every top-level window for its ports.
class SerialDeviceNotification {
 public:
  explicit SerialDeviceNotification(void* window);  // the window's HWND
  ~SerialDeviceNotification();
  SerialDeviceNotification(const SerialDeviceNotification&) = delete;
  SerialDeviceNotification& operator=(const SerialDeviceNotification&) = delete;
  bool Registered() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;  // HDEVNOTIFY
};

// Windows only: whether a window's message tells that a COM port's device came or went.
bool IsSerialDeviceChange(const void* msg);  // a MSG

}  // namespace quorvex
