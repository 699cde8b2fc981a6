// The device behind a COM number, named for the history.
#include "ui/history_port_device.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "link/windows_ports.h"
#endif

namespace quorvex {

#ifdef _WIN32
std::string LocalPortDevice(int comNumber, const PortNameEnvironment&, const std::string&) {
  // Names only: nothing is opened after the transfer that has just closed the port.
  for (const SerialDevice& d : ListWindowsPorts(*MakeWin32PortSystem(), false)) {
    if (d.comNumber == comNumber && d.access != DeviceAccess::kGone) return d.stableName;
  }
  return {};
}
#else
std::string LocalPortDevice(int comNumber, const PortNameEnvironment& env,
                            const std::string& byIdFolder) {
  namespace fs = std::filesystem;
  const auto path = ResolveComPortPath(comNumber, env);
  if (!path) return {};
  std::error_code error;
  const fs::path device = fs::canonical(*path, error);
  if (error) return {};
  for (fs::directory_iterator it(byIdFolder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    if (fs::canonical(it->path(), ignored) == device) return it->path().string();
  }
  return device.string();
}
#endif

}  // namespace quorvex
