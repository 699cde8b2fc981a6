// COM n to a device: the environment that decides it and the resolution, looked up afresh.
#pragma once

#include <optional>
#include <string>

namespace quorvex {

// The COM port numbers the program knows; n outside them names no port.
inline constexpr int kFirstComPort = 1;
inline constexpr int kLastComPort = 255;

// The parts of the process environment that decide where COM n leads. Empty means unset.
struct PortNameEnvironment {
  std::string comDir;         // QUORVEX_COM_DIR
  std::string xdgConfigHome;  // XDG_CONFIG_HOME
  std::string home;           // HOME

  static PortNameEnvironment FromProcess();
};

// The folder of the user's COM<n> links: ${XDG_CONFIG_HOME:-$HOME/.config}/quorvex/ports.
// Empty when neither variable gives an absolute folder.
std::string UserPortsFolder(const PortNameEnvironment& env);

// The device path COM n stands for on a POSIX system, or nothing when n names no port. The
// user's link is looked up on the file system each time, so a link made or removed while the
// program runs takes effect on the next open.
std::optional<std::string> ResolveComPortPath(int n, const PortNameEnvironment& env);

// The Win32 device name of COM n: "\\?\COM" and n in decimal ("-1" for -1). The prefix lets
// ports beyond COM9 open the same way as the first nine.
std::string Win32ComDeviceName(int n);

}  // namespace quorvex
