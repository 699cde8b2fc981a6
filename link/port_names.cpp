// Where COM n leads: QUORVEX_COM_DIR, the user's links, ttyS; the Win32 device name.
#include "link/port_names.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quorvex {
namespace {

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

bool IsAbsolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace

PortNameEnvironment PortNameEnvironment::FromProcess() {
  return PortNameEnvironment{EnvValue("QUORVEX_COM_DIR"), EnvValue("XDG_CONFIG_HOME"),
                             EnvValue("HOME")};
}

std::string UserPortsFolder(const PortNameEnvironment& env) {
  // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and must be ignored, or
  // the result would depend on the working folder.
  std::string config;
  if (IsAbsolute(env.xdgConfigHome)) {
    config = env.xdgConfigHome;
  } else if (IsAbsolute(env.home)) {
    config = Join(env.home, ".config");
  } else {
    return {};
  }
  return Join(Join(config, "quorvex"), "ports");
}

std::optional<std::string> ResolveComPortPath(int n, const PortNameEnvironment& env) {
  if (n < kFirstComPort || n > kLastComPort) return std::nullopt;
  const std::string linkName = "COM" + std::to_string(n);
  if (!env.comDir.empty()) return Join(env.comDir, linkName);

  const std::string userFolder = UserPortsFolder(env);
  if (!userFolder.empty()) {
    const std::string userLink = Join(userFolder, linkName);
    // The link itself decides, even when its target is missing: an unplugged adapter must make
    // the port unavailable, not silently divert the card's bytes to the built-in port.
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(userLink, ec);
    if (!ec && status.type() != std::filesystem::file_type::not_found) return userLink;
  }
  return "/dev/ttyS" + std::to_string(n - 1);
}

std::string Win32ComDeviceName(int n) {
  return "\\\\?\\COM" + std::to_string(n);
}

}  // namespace quorvex
