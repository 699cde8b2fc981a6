// The ports command on Windows: each COM n probed under its Win32 device name.
#include "cli/port_list.h"

namespace quorvex::cli {

std::vector<FreePort> ListFreePorts(const PortNameEnvironment&, SerialPorts& ports) {
  std::vector<FreePort> free;
  for (int n = kFirstComPort; n <= kLastComPort; ++n) {
    if (ports.Probe(n)) free.push_back({n, Win32ComDeviceName(n), {}, {}});
  }
  return free;
}

// Windows names no device more stably than COM n itself.
std::string StableDeviceName(int, const PortNameEnvironment&) {
  return {};
}

}  // namespace quorvex::cli
