// The ports command on Linux: each COM n resolved, probed, and given its stable device name.
#include <filesystem>

#include "cli/port_list.h"
#include "link/serial_devices.h"
#include "storage/atomic_file.h"

namespace quorvex::cli {

namespace {

FreePort Describe(int n, const std::string& path, const std::vector<SerialDevice>& devices) {
  FreePort port{n, path, {}, {}, {}};
  std::error_code error;
  const auto device = std::filesystem::canonical(path, error);
  if (!error && device.string() != path) port.device = device.string();
  for (const SerialDevice& d : devices) {
    if (d.path != (port.device.empty() ? path : port.device)) continue;
    port.stableName = d.stableName;
    port.latencyTimerMs = d.latencyTimerMs;
  }
  return port;
}

}  // namespace

std::vector<FreePort> ListFreePorts(const PortNameEnvironment& env, SerialPorts& ports) {
  // The serial device window's list knows the stable names of the devices.
  const std::vector<SerialDevice> devices = ListSerialDevices(SerialDeviceRoots{}, env);
  std::vector<FreePort> free;
  for (int n = kFirstComPort; n <= kLastComPort; ++n) {
    const auto path = ResolveComPortPath(n, env);
    if (!path || !PathExists(*path) || !ports.Probe(n)) continue;
    free.push_back(Describe(n, *path, devices));
  }
  return free;
}

std::string StableDeviceName(int n, const PortNameEnvironment& env) {
  const auto path = ResolveComPortPath(n, env);
  if (!path || !PathExists(*path)) return {};
  return Describe(n, *path, ListSerialDevices(SerialDeviceRoots{}, env)).stableName;
}

// The device's path says enough here: Linux gives it no other name.
PortDevice DescribePortDevice(int n, const PortNameEnvironment& env) {
  return PortDevice{StableDeviceName(n, env), {}};
}

}  // namespace quorvex::cli
