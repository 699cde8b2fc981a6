// Where the history lies, and who and where a record was made.
#include <cstdio>
#include <ctime>
#include <string>

#include "core/user_config_folder.h"
#include "storage/history.h"
#include "storage/settings.h"
#include "storage/settings_place.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The user's name (GetUserNameW) after windows.h.
#include <lmcons.h>

#include "storage/atomic_file.h"
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace quorvex {

std::string DefaultHistoryPath(const std::string& windowExecutable, const std::string& settingsPath,
                               const SettingsEnvironment& env) {
#ifdef _WIN32
  // A portable copy keeps all it has beside itself, to be carried away with it.
  if (settingsPath == SettingsPathFor(windowExecutable)) {
    const std::size_t folderEnd = windowExecutable.find_last_of("/\\");
    const std::string folder =
        folderEnd == std::string::npos ? "." : windowExecutable.substr(0, folderEnd);
    return folder + "\\history.sqlite";
  }
  if (env.localAppData.empty()) {
    throw HistoryError("No folder for the history: LOCALAPPDATA names no folder");
  }
  return env.localAppData + "\\Quorvex\\history.sqlite";
#else
  static_cast<void>(windowExecutable);
  static_cast<void>(settingsPath);
  // A relative XDG_DATA_HOME is invalid by the base-directory rules, as XDG_CONFIG_HOME is.
  std::string data;
  if (env.xdgDataHome.starts_with('/')) {
    data = env.xdgDataHome;
  } else if (env.home.starts_with('/')) {
    data = JoinPath(JoinPath(env.home, ".local"), "share");
  } else {
    throw HistoryError(
        "No folder for the history: neither XDG_DATA_HOME nor HOME names an absolute folder");
  }
  return JoinPath(JoinPath(data, "quorvex"), "history.sqlite");
#endif
}

#ifdef _WIN32

std::string OperatingSystemUser() {
  wchar_t name[UNLEN + 1] = {};
  DWORD size = UNLEN + 1;
  if (!GetUserNameW(name, &size) || size == 0) return {};
  return Utf8FromWide(std::wstring_view(name, size - 1));
}

std::string HostName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  return GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

#else

std::string OperatingSystemUser() {
  // The account the process runs as, not LOGNAME: sudo and su change who acts.
  if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_name != nullptr) {
    return user->pw_name;
  }
  return std::to_string(::geteuid());
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

#endif

std::string UtcText(std::chrono::system_clock::time_point when, const char* format) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &t);
#else
  gmtime_r(&t, &utc);
#endif
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &utc));
}

std::string HistoryTimeText(std::chrono::system_clock::time_point when) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch());
  // The seconds are to_time_t's, which truncates here; a time before 1970 is not ours to keep.
  char tail[8];
  std::snprintf(tail, sizeof tail, ".%03dZ", static_cast<int>(((ms.count() % 1000) + 1000) % 1000));
  return UtcText(when, "%Y-%m-%dT%H:%M:%S") + tail;
}

}  // namespace quorvex
