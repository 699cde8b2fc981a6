// Where COM n leads: QUORVEX_COM_DIR, the user's links, ttyS; the Win32 device name.
#include "link/port_names.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/user_config_folder.h"

namespace quorvex {
namespace {

std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

PortNameEnvironment PortNameEnvironment::FromProcess() {
  return PortNameEnvironment{EnvValue("QUORVEX_COM_DIR"), EnvValue("XDG_CONFIG_HOME"),
                             EnvValue("HOME")};
}

std::string UserPortsFolder(const PortNameEnvironment& env) {
  const std::string config = UserConfigFolder(env.xdgConfigHome, env.home);
  return config.empty() ? std::string() : JoinPath(config, "ports");
}

std::optional<std::string> ResolveComPortPath(int n, const PortNameEnvironment& env) {
  if (n < kFirstComPort || n > kLastComPort) return std::nullopt;
  const std::string linkName = "COM" + std::to_string(n);
  if (!env.comDir.empty()) return JoinPath(env.comDir, linkName);

  const std::string userFolder = UserPortsFolder(env);
  if (!userFolder.empty()) {
    const std::string userLink = JoinPath(userFolder, linkName);
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
