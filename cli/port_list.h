// The ports command's list: the COM numbers that lead to a device nobody holds now.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/port_names.h"
#include "link/serial_line.h"

namespace quorvex::cli {

// A COM number that leads to a device nobody holds now.
struct FreePort {
  int number = 0;
  std::string name;  // what COM n resolves to: a link, a device, "\\?\COM3"
  // Linux: the device behind it, "" when it is the name itself; Windows: the device's friendly
  // name, "" when Windows has none for it.
  std::string device;
  // Linux: its /dev/serial/by-id name; Windows: the device instance ID where it follows the
  // adapter to another socket. "" when it has none.
  std::string stableName;
  std::optional<int> latencyTimerMs{};  // a USB adapter's, where its driver tells it
  // Windows: a PC's own port's receive FIFO trigger in bytes, as its serial driver sets it.
  std::optional<int> receiveFifoTrigger{};
};

// The names of the device behind COM n; empty where there is none.
struct PortDevice {
  std::string stableName;    // as FreePort::stableName
  std::string friendlyName;  // Windows: "USB Serial Port (COM3)"; always "" on Linux
};

// COM 1 to 255 in turn, each resolved and probed as the transfers would open it.
std::vector<FreePort> ListFreePorts(const PortNameEnvironment& env, SerialPorts& ports);

// The stable name of the device COM n leads to, "" when it has none.
std::string StableDeviceName(int n, const PortNameEnvironment& env);

// Both names of the device COM n leads to.
PortDevice DescribePortDevice(int n, const PortNameEnvironment& env);

}  // namespace quorvex::cli
