// The working state kept in quorvex.ini between runs: restored at start, saved at exit.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace quorvex {

class ChannelPanel;
struct AppContext;

// The executable's path with its extension replaced by ".ini" (appended when it has none).
std::string SettingsPathFor(const std::string& executablePath);

// Where the settings file lies. An ordinary user cannot write into the install prefix's bin
// folder, so a program run from `installBinDir` keeps its settings as "quorvex.ini" in
// `userConfigFolder`; run from anywhere else it keeps them beside the executable as above. An
// empty `installBinDir` (a build that is not installed anywhere, Windows) always gives the
// latter. Throws std::runtime_error when an installed program has no configuration folder.
std::string SettingsPathFor(const std::string& executablePath, const std::string& installBinDir,
                            const std::string& userConfigFolder);

// The same on Windows: a program run from inside one of `programFilesFolders` (%ProgramFiles%
// and its kin, where an ordinary user cannot write, and %LOCALAPPDATA%\Programs of a per-user
// install, which its uninstall removes; empty entries are ignored) is installed there and keeps
// its settings in "<appDataFolder>\Quorvex\quorvex.ini"; anywhere else beside the executable.
// Folders compare as Windows does: either slash, any ASCII letter case. Throws
// std::runtime_error when an installed program has no APPDATA folder.
std::string WindowsSettingsPathFor(const std::string& executablePath,
                                   const std::vector<std::string>& programFilesFolders,
                                   const std::string& appDataFolder);

// True when the first argument (and only the first) is "DEBUG" in any letter case.
bool DebugSwitchFromArguments(const std::vector<std::string>& arguments);

// What the window itself takes from the settings file.
struct WindowState {
  int width = 0;   // applied only when > 0
  int height = 0;  // applied only when > 0
  std::string rememberedFileName = "C:\\";
  int languageNumber = 0;
  // The configuration files loaded or saved last, newest first.
  std::vector<std::string> recentFiles;
};

// How many configuration files the File menu offers again.
inline constexpr std::size_t kMaxRecentFiles = 6;

// `path` made the newest of `recent`, once, with the oldest dropped beyond kMaxRecentFiles.
void AddRecentFile(std::vector<std::string>& recent, const std::string& path);
void RemoveRecentFile(std::vector<std::string>& recent, const std::string& path);

// Start: ComPortNumber, list selections, field texts, size, file name, language (English unless
// the file names another known one) and the recent files. The lists must be filled already. A
// missing or damaged file gives the defaults; nothing is validated.
WindowState RestoreSettings(const std::string& settingsPath, ChannelPanel& panel, AppContext& ctx);

// The COM port number the settings file holds, as RestoreSettings reads it: -1 when it holds
// none, and for a file that does not exist. Only reads; nothing is validated.
int StoredComPortNumber(const std::string& settingsPath);

// Exit: every key, in one atomic replacement of the file. Throws FileError
// "Unable to write to <path>" and leaves the previous file intact when it cannot be written.
void SaveSettings(const std::string& settingsPath, const ChannelPanel& panel, const AppContext& ctx,
                  const WindowState& window);

// COM numbers served by a port of a device server on the network instead of a port of this
// machine, each with that port's URL ("rfc2217://10.0.0.5:4001", "tcp://plant-ds1:4002").
using DeviceServerPorts = std::map<int, std::string>;

// The device server ports the settings file assigns, read on their own (the window at start, the
// command line for --port N). A file that does not exist gives none, and so does an entry that is
// not one: a key that names no COM number from 1 to 255, an empty value. Whether a URL reads is
// for the ports to tell; it is handed on as it stands.
DeviceServerPorts StoredDeviceServerPorts(const std::string& settingsPath);

// `ports` as the file's section of device server ports, everything else in the file as it was, in
// one atomic replacement. A number no longer assigned keeps its key with an empty value; a file
// that never had an assignment gets no section. Throws FileError "Unable to write to <path>" and
// leaves the previous file intact when it cannot be written.
void SaveDeviceServerPorts(const std::string& settingsPath, const DeviceServerPorts& ports);

// The history's section: "[History] Enabled=0" turns the history off, "Path=" names another file
// than the default place's. Written by hand; the program only reads it.
struct HistorySettings {
  bool enabled = true;
  std::string path;  // "" for the default place
};
HistorySettings StoredHistorySettings(const std::string& settingsPath);

}  // namespace quorvex
