// The ports command's list: the COM numbers that lead to a device nobody holds now.
#pragma once

#include <string>
#include <vector>

#include "link/port_names.h"
#include "link/serial_line.h"

namespace quorvex::cli {

// A COM number that leads to a device nobody holds now.
struct FreePort {
  int number = 0;
  std::string name;        // what COM n resolves to: a link, a device, "\\?\COM3"
  std::string device;      // the device behind it, "" when it is the name itself
  std::string stableName;  // its /dev/serial/by-id name, "" when it has none
};

// COM 1 to 255 in turn, each resolved and probed as the transfers would open it.
std::vector<FreePort> ListFreePorts(const PortNameEnvironment& env, SerialPorts& ports);

// The /dev/serial/by-id name of the device COM n leads to, "" when it has none.
std::string StableDeviceName(int n, const PortNameEnvironment& env);

}  // namespace quorvex::cli
