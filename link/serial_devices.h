// The serial devices of this machine and the user links that make them COM n.
#pragma once

#include <string>
#include <vector>

#include "link/port_names.h"

namespace quorvex {

// A serial device present on this machine (Linux), for the window that maps devices to COM n.
struct SerialDevice {
  std::string path;        // "/dev/ttyUSB0", "/dev/ttyS0", ...
  std::string stableName;  // its "/dev/serial/by-id/..." name, "" when it has none
  int comNumber = 0;       // the COM n through which it is reached now, 0 when none
};

// /dev/ttyS* that answer as real UARTs, /dev/ttyUSB*, /dev/ttyACM*, in name order.
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
};

// As above, with the folders and the environment given instead of taken from the system.
std::vector<SerialDevice> ListSerialDevices(const SerialDeviceRoots& roots,
                                            const PortNameEnvironment& env);
void AssignComPort(int n, const std::string& target, const std::string& portsFolder);

}  // namespace quorvex
