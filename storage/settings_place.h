// Where the window keeps its settings, told from the process's environment. The window opens the
// file there; the command line reads from it the device server ports the window assigned.
#pragma once

#include <string>
#include <vector>

namespace quorvex {

// The parts of the environment that decide where the settings file lies. Empty means unset.
struct SettingsEnvironment {
  std::string xdgConfigHome;              // XDG_CONFIG_HOME
  std::string xdgDataHome;                // XDG_DATA_HOME
  std::string home;                       // HOME, else the user database's home folder
  std::vector<std::string> programFiles;  // %ProgramFiles%, %ProgramFiles(x86)%, %ProgramW6432%
  std::string localAppData;               // %LOCALAPPDATA%
  std::string appData;                    // %APPDATA%

  static SettingsEnvironment FromProcess();
};

// The settings file of the window program at `windowExecutable`: on Windows as
// WindowsSettingsPathFor tells it, elsewhere as SettingsPathFor does with the user's configuration
// folder. `installBinDir` is the folder an installed window runs from (empty: the build is not
// installed anywhere). Throws std::runtime_error as those do.
std::string WindowSettingsPath(const std::string& windowExecutable,
                               const std::string& installBinDir, const SettingsEnvironment& env);

}  // namespace quorvex
