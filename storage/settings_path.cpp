// Settings file location (beside the program, or the user's folder if installed); DEBUG switch.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "core/user_config_folder.h"

#include "storage/ascii_case.h"
#include "storage/settings.h"

namespace quorvex {

std::string SettingsPathFor(const std::string& executablePath) {
  const auto nameStart = executablePath.find_last_of("/\\:");
  const auto dot = executablePath.find_last_of('.');
  const bool hasExtension =
      dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
  return (hasExtension ? executablePath.substr(0, dot) : executablePath) + ".ini";
}

namespace {

// Symbolic links and "..": /bin/quorvex is /usr/bin/quorvex where /bin leads to /usr/bin.
std::filesystem::path Normal(const std::string& path) {
  std::error_code ec;
  std::filesystem::path normal = std::filesystem::weakly_canonical(path, ec);
  if (ec) normal = std::filesystem::path(path).lexically_normal();
  // "/usr/bin/" names the same folder as "/usr/bin".
  if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
  return normal;
}

}  // namespace

std::string SettingsPathFor(const std::string& executablePath, const std::string& installBinDir,
                            const std::string& userConfigFolder) {
  const bool installed =
      !installBinDir.empty() && Normal(executablePath).parent_path() == Normal(installBinDir);
  if (!installed) return SettingsPathFor(executablePath);
  if (userConfigFolder.empty()) {
    throw std::runtime_error(
        "No folder for the settings: neither XDG_CONFIG_HOME nor HOME names an absolute folder");
  }
  return JoinPath(userConfigFolder, "quorvex.ini");
}

bool DebugSwitchFromArguments(const std::vector<std::string>& arguments) {
  return !arguments.empty() && EqualIgnoringAsciiCase(arguments.front(), "DEBUG");
}

}  // namespace quorvex
