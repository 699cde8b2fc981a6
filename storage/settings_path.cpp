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

namespace {

std::string WithoutTrailingSeparators(std::string folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

// A Windows folder as the file system compares it: either slash, no trailing one, any ASCII case.
std::string WindowsFolderKey(std::string folder) {
  for (char& c : folder) c = c == '/' ? '\\' : AsciiUpper(c);
  return WithoutTrailingSeparators(folder);
}

}  // namespace

std::string WindowsSettingsPathFor(const std::string& executablePath,
                                   const std::vector<std::string>& programFilesFolders,
                                   const std::string& appDataFolder) {
  const auto nameStart = executablePath.find_last_of("/\\");
  const std::string folder =
      WindowsFolderKey(nameStart == std::string::npos ? "" : executablePath.substr(0, nameStart));
  bool installed = false;
  for (const std::string& programFiles : programFilesFolders) {
    const std::string root = WindowsFolderKey(programFiles);
    // An unset variable names no folder; a program started by its bare name is not inside it.
    if (root.empty()) continue;
    if (folder == root || folder.starts_with(root + '\\')) installed = true;
  }
  if (!installed) return SettingsPathFor(executablePath);
  if (appDataFolder.empty()) {
    throw std::runtime_error("No folder for the settings: APPDATA names no folder");
  }
  return WithoutTrailingSeparators(appDataFolder) + "\\Quorvex\\quorvex.ini";
}

bool DebugSwitchFromArguments(const std::vector<std::string>& arguments) {
  return !arguments.empty() && EqualIgnoringAsciiCase(arguments.front(), "DEBUG");
}

}  // namespace quorvex
