// The serial devices of this machine and the user links that make them COM n.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/port_names.h"

namespace quorvex {

// Whether this process could open a device right now.
enum class DeviceAccess {
  kFree,
  kInUse,         // another program holds it exclusively
  kNotPermitted,  // the node's permissions keep this user out
  kFailed,        // any other reason; see SerialDevice::error
  kGone,          // Windows still knows the port, but its device is not attached
};

// A serial device of this machine, for the window that shows devices and their COM n.
struct SerialDevice {
  std::string path;  // "/dev/ttyUSB0", "/dev/ttyS0", ...; on Windows the port name, "COM3"
  // Linux: its "/dev/serial/by-id/..." name; Windows: the device instance ID where that
  // survives a move to another socket. "" when it has none.
  std::string stableName;
  int comNumber = 0;  // the COM n through which it is reached now, 0 when none
  DeviceAccess access = DeviceAccess::kFree;
  std::string group;         // the node's group ("dialout"), its number when the group has no name
  std::string error;         // why it cannot be opened, for kFailed
  std::string friendlyName;  // Windows: "USB Serial Port (COM3)"; "" on Linux
  std::string maker;         // Windows: the driver's manufacturer, "FTDI"; "" on Linux
  // A USB adapter's latency timer in ms, where its driver tells it (Linux: sysfs; Windows: the
  // LatencyTimer value of an FTDI-class driver); nothing elsewhere.
  std::optional<int> latencyTimerMs{};
  // Windows: the receive FIFO trigger in bytes that Windows' serial driver sets for a PC's own
  // port at every open; nothing for other drivers and on Linux, whose driver sets 1 byte at
  // the card's speed.
  std::optional<int> receiveFifoTrigger{};
};

// Opens and closes the device the way a transfer would, to tell how it stands; the group is
// read from the node itself.
void ProbeDeviceAccess(SerialDevice& device);

// Tells when serial devices come or go.
class SerialDeviceEvents {
 public:
  virtual ~SerialDeviceEvents() = default;
  // Turns readable when something happened; never blocks a reader.
  virtual int Descriptor() const = 0;
  // Reads what is pending; true when a serial device was added or removed.
  virtual bool TakeEvents() = 0;
};

// The system's device events (udev); nothing when there is no udev to ask, and on Windows,
// where the window receives them as messages.
std::unique_ptr<SerialDeviceEvents> WatchSerialDevices();

// Linux: /dev/ttyS* that answer as real UARTs, /dev/ttyUSB*, /dev/ttyACM*, in name order.
// Windows: the COM ports the system knows, in number order, each opened once to tell its state.
std::vector<SerialDevice> ListSerialDevices();

// Makes COM n reach `target` (written as the user link COM<n> under
// ${XDG_CONFIG_HOME:-~/.config}/quorvex/ports, replaced atomically). Throws std::runtime_error
// with a message for the operator when it cannot.
void AssignComPort(int n, const std::string& target);

// The folders the device list looks at; the defaults are the running system's.
struct SerialDeviceRoots {
  std::string dev = "/dev";
  std::string sysClassTty = "/sys/class/tty";
  std::string byId = "/dev/serial/by-id";
  std::string usbSerial = "/sys/bus/usb-serial/devices";  // <tty>/latency_timer
};

// As above, with the folders and the environment given instead of taken from the system.
std::vector<SerialDevice> ListSerialDevices(const SerialDeviceRoots& roots,
                                            const PortNameEnvironment& env);
void AssignComPort(int n, const std::string& target, const std::string& portsFolder);

}  // namespace quorvex
