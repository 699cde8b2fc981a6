// The ports command on Windows: each COM n probed under its Win32 device name, and named as
// SetupAPI names its device.
#include <algorithm>

#include "cli/port_list.h"
#include "link/windows_ports.h"

namespace quorvex::cli {

namespace {

// The attached device behind COM n; none when Windows knows no device for it.
const SerialDevice* PresentDevice(const std::vector<SerialDevice>& known, int n) {
  const auto it = std::find_if(known.begin(), known.end(), [n](const SerialDevice& d) {
    return d.comNumber == n && d.access != DeviceAccess::kGone;
  });
  return it == known.end() ? nullptr : &*it;
}

// Names only: the probe that matters is the one the transfers' own ports make.
std::vector<SerialDevice> KnownPorts() {
  return ListWindowsPorts(*MakeWin32PortSystem(), false);
}

}  // namespace

std::vector<FreePort> ListFreePorts(const PortNameEnvironment&, SerialPorts& ports) {
  const std::vector<SerialDevice> known = KnownPorts();
  std::vector<FreePort> free;
  for (int n = kFirstComPort; n <= kLastComPort; ++n) {
    if (!ports.Probe(n)) continue;
    FreePort port{n, Win32ComDeviceName(n), {}, {}, {}};
    if (const SerialDevice* device = PresentDevice(known, n)) {
      port.device = device->friendlyName;
      port.stableName = device->stableName;
      port.latencyTimerMs = device->latencyTimerMs;
      port.receiveFifoTrigger = device->receiveFifoTrigger;
    }
    free.push_back(port);
  }
  return free;
}

PortDevice DescribePortDevice(int n, const PortNameEnvironment&) {
  const std::vector<SerialDevice> known = KnownPorts();
  const SerialDevice* device = PresentDevice(known, n);
  return device == nullptr ? PortDevice{} : PortDevice{device->stableName, device->friendlyName};
}

std::string StableDeviceName(int n, const PortNameEnvironment& env) {
  return DescribePortDevice(n, env).stableName;
}

}  // namespace quorvex::cli
