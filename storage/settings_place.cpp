// The settings file's place from the environment, for the window and the command line alike.
#include "storage/settings_place.h"

#include <cstdlib>

#include "core/user_config_folder.h"
#include "storage/atomic_file.h"
#include "storage/settings.h"

#ifdef _WIN32
#include <cwchar>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace quorvex {
namespace {

#ifdef _WIN32
std::string EnvValue(const wchar_t* name) {
  // The wide form: a user folder with letters outside the ANSI code page must still be found.
  const wchar_t* value = _wgetenv(name);
  return value != nullptr ? Utf8FromWide(value) : std::string();
}
#else
std::string EnvValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}
#endif

}  // namespace

SettingsEnvironment SettingsEnvironment::FromProcess() {
  SettingsEnvironment env;
#ifdef _WIN32
  // ProgramW6432 names the 64-bit folder to 32-bit programs.
  env.programFiles = {EnvValue(L"ProgramFiles"), EnvValue(L"ProgramFiles(x86)"),
                      EnvValue(L"ProgramW6432")};
  env.localAppData = EnvValue(L"LOCALAPPDATA");
  env.appData = EnvValue(L"APPDATA");
#else
  env.xdgConfigHome = EnvValue("XDG_CONFIG_HOME");
  env.xdgDataHome = EnvValue("XDG_DATA_HOME");
  env.home = EnvValue("HOME");
  if (env.home.empty()) {
    // A login without HOME (a service, sudo -i variants) still has a home in the user database.
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
      env.home = user->pw_dir;
    }
  }
#endif
  return env;
}

std::string WindowSettingsPath(const std::string& windowExecutable,
                               const std::string& installBinDir, const SettingsEnvironment& env) {
#ifdef _WIN32
  static_cast<void>(installBinDir);
  std::vector<std::string> installRoots = env.programFiles;
  // %LOCALAPPDATA%\Programs holds a user's own installs (the per-user MSI), whose settings belong
  // in %APPDATA% too, so that an uninstall leaves no folder behind. A quorvex.ini already beside
  // the program there is a portable copy's (the README once advised unpacking the zip there):
  // it stays in use rather than being passed over for new settings.
  if (!env.localAppData.empty() && !PathExists(SettingsPathFor(windowExecutable))) {
    installRoots.push_back(env.localAppData + "\\Programs");
  }
  return WindowsSettingsPathFor(windowExecutable, installRoots, env.appData);
#else
  return SettingsPathFor(windowExecutable, installBinDir,
                         UserConfigFolder(env.xdgConfigHome, env.home));
#endif
}

}  // namespace quorvex
