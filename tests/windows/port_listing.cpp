// What the system answers about its COM ports, raw and as the port list makes it: the check
// that SetupAPI, the registry and the open are asked right, and a record of what a Windows (or
// Wine) tells about a port. Windows only.
//
//   port_listing N      exit 0 when COM N is listed as an attached port
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/windows_ports.h"

namespace {

using namespace quorvex;

const char* StateWord(DeviceAccess access) {
  switch (access) {
    case DeviceAccess::kFree:
      return "free";
    case DeviceAccess::kInUse:
      return "in use";
    case DeviceAccess::kNotPermitted:
      return "not permitted";
    case DeviceAccess::kFailed:
      return "failed";
    case DeviceAccess::kGone:
      return "gone";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: port_listing N\n");
    return 2;
  }
  const int wanted = std::atoi(argv[1]);
  const auto system = MakeWin32PortSystem();
  std::printf("SetupAPI, the Ports class and the COM port interface:\n");
  for (const WindowsPortDevice& d : system->PortDevices()) {
    std::printf("  %s | friendly name \"%s\" | maker \"%s\" | PortName \"%s\" | %s\n",
                d.instanceId.c_str(), d.friendlyName.c_str(), d.maker.c_str(), d.portName.c_str(),
                d.present ? "present" : "absent");
  }
  std::printf("HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM:\n");
  for (const SerialCommEntry& e : system->SerialComm()) {
    std::printf("  \"%s\" = \"%s\"\n", e.device.c_str(), e.portName.c_str());
  }
  std::printf("The port list:\n");
  bool listed = false;
  for (const SerialDevice& p : ListWindowsPorts(*system, true)) {
    std::printf("  %s | \"%s\" | \"%s\" | stable name \"%s\" | %s%s%s\n", p.path.c_str(),
                p.friendlyName.c_str(), p.maker.c_str(), p.stableName.c_str(), StateWord(p.access),
                p.error.empty() ? "" : ": ", p.error.c_str());
    if (p.comNumber == wanted && p.access != DeviceAccess::kGone) listed = true;
  }
  std::printf("COM%d %s\n", wanted, listed ? "is listed" : "is NOT listed");
  return listed ? 0 : 1;
}
