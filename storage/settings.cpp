// The working state in quorvex.ini: port, channel lists and fields, window, file name.
#include "storage/settings.h"

#include <limits>
#include <string>
#include <utility>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/text_set.h"
#include "storage/atomic_file.h"
#include "storage/file_error.h"
#include "storage/profile.h"
#include "storage/settings_rewrite.h"

namespace quorvex {

namespace {

std::string ChannelKey(int channel) {
  return std::to_string(channel);
}

// A settings section and the component whose channels it holds.
struct ChannelSection {
  const char* section;
  ChannelComponent component;
};
// The lists: the key holds the selected position.
constexpr ChannelSection kListSections[] = {{"ComboBox", ChannelComponent::Quantity},
                                            {"EinheitBox", ChannelComponent::Unit}};
// The edit fields: the key holds the text as it stands.
constexpr ChannelSection kTextSections[] = {{"Offset", ChannelComponent::Offset},
                                            {"Bereich", ChannelComponent::Range},
                                            {"Mess", ChannelComponent::MeasurementRange}};

// A section of its own, written only once the list has had an entry: a settings file of a run
// that loaded and saved nothing holds the same keys as ever.
constexpr const char* kRecentSection = "Recent";

int ComPortNumberIn(const Profile& profile) {
  return profile.ReadInteger("Main", "COM", -1);
}

// Also a section of its own, written only once a device server port has been assigned; keys
// "COM1" to "COM255", as a technician reading the file would look for them.
constexpr const char* kDeviceServerSection = "DeviceServers";
constexpr int kHighestComNumber = 255;  // as many as the ports know

std::string DeviceServerKey(int comNumber) {
  return "COM" + std::to_string(comNumber);
}

}  // namespace

Profile ProfileToRewrite(const std::string& settingsPath, const std::string& failure) {
  std::string content;
  try {
    content = ReadFileStart(settingsPath, std::numeric_limits<std::size_t>::max());
  } catch (const FileError&) {
    if (PathExists(settingsPath)) throw FileError(failure);
  }
  return Profile(content);
}

void WriteProfile(const std::string& settingsPath, const Profile& profile,
                  const std::string& failure) {
  try {
    WriteFileAtomically(settingsPath, profile.Content());
  } catch (const FileError&) {
    throw FileError(failure);
  }
}

int StoredComPortNumber(const std::string& settingsPath) {
  return ComPortNumberIn(Profile::Load(settingsPath));
}

WindowState RestoreSettings(const std::string& settingsPath, ChannelPanel& panel, AppContext& ctx) {
  const Profile profile = Profile::Load(settingsPath);
  WindowState window;

  ctx.comPortNumber = ComPortNumberIn(profile);
  for (const ChannelSection& list : kListSections) {
    for (int n = 1; n <= kChannelCount; ++n) {
      panel.SetItemIndex(ComponentName(list.component, n),
                         profile.ReadInteger(list.section, ChannelKey(n), 1));
    }
  }
  for (const ChannelSection& field : kTextSections) {
    for (int n = 1; n <= kChannelCount; ++n) {
      panel.SetText(ComponentName(field.component, n),
                    profile.ReadString(field.section, ChannelKey(n), "0"));
    }
  }
  window.width = profile.ReadInteger("Main", "Width", 0);
  window.height = profile.ReadInteger("Main", "Height", 0);
  window.rememberedFileName = profile.ReadString("Main", "Filename", "C:\\");
  window.languageNumber =
      KnownLanguageNumber(profile.ReadInteger("Main", "Sprache", kEnglishLanguageNumber));
  for (std::size_t i = kMaxRecentFiles; i >= 1; --i) {
    const std::string path = profile.ReadString(kRecentSection, std::to_string(i), "");
    if (!path.empty()) AddRecentFile(window.recentFiles, path);
  }
  return window;
}

void AddRecentFile(std::vector<std::string>& recent, const std::string& path) {
  RemoveRecentFile(recent, path);
  recent.insert(recent.begin(), path);
  if (recent.size() > kMaxRecentFiles) recent.resize(kMaxRecentFiles);
}

void RemoveRecentFile(std::vector<std::string>& recent, const std::string& path) {
  std::erase(recent, path);
}

void SaveSettings(const std::string& settingsPath, const ChannelPanel& panel, const AppContext& ctx,
                  const WindowState& window) {
  const std::string failure = "Unable to write to " + settingsPath;
  Profile profile = ProfileToRewrite(settingsPath, failure);

  profile.WriteInteger("Main", "COM", ctx.comPortNumber);
  for (const ChannelSection& list : kListSections) {
    for (int n = 1; n <= kChannelCount; ++n) {
      profile.WriteInteger(list.section, ChannelKey(n),
                           panel.ItemIndex(ComponentName(list.component, n)));
    }
  }
  for (const ChannelSection& field : kTextSections) {
    for (int n = 1; n <= kChannelCount; ++n) {
      profile.WriteString(field.section, ChannelKey(n),
                          panel.Text(ComponentName(field.component, n)));
    }
  }
  profile.WriteInteger("Main", "Width", window.width);
  profile.WriteInteger("Main", "Height", window.height);
  profile.WriteString("Main", "Filename", window.rememberedFileName);
  profile.WriteInteger("Main", "Sprache", window.languageNumber);
  // Once written, every key is written again, so that a list grown shorter leaves no old entry.
  if (!window.recentFiles.empty() || profile.Find(kRecentSection, "1")) {
    for (std::size_t i = 1; i <= kMaxRecentFiles; ++i) {
      profile.WriteString(kRecentSection, std::to_string(i),
                          i <= window.recentFiles.size() ? window.recentFiles[i - 1] : "");
    }
  }

  WriteProfile(settingsPath, profile, failure);
}

DeviceServerPorts StoredDeviceServerPorts(const std::string& settingsPath) {
  const Profile profile = Profile::Load(settingsPath);
  DeviceServerPorts ports;
  for (int n = 1; n <= kHighestComNumber; ++n) {
    std::string url = profile.ReadString(kDeviceServerSection, DeviceServerKey(n), "");
    if (!url.empty()) ports.emplace(n, std::move(url));
  }
  return ports;
}

void SaveDeviceServerPorts(const std::string& settingsPath, const DeviceServerPorts& ports) {
  const std::string failure = "Unable to write to " + settingsPath;
  Profile profile = ProfileToRewrite(settingsPath, failure);
  for (int n = 1; n <= kHighestComNumber; ++n) {
    const std::string key = DeviceServerKey(n);
    const auto assigned = ports.find(n);
    if (assigned != ports.end()) {
      profile.WriteString(kDeviceServerSection, key, assigned->second);
    } else if (const auto old = profile.Find(kDeviceServerSection, key); old && !old->empty()) {
      profile.WriteString(kDeviceServerSection, key, "");
    }
  }
  WriteProfile(settingsPath, profile, failure);
}

HistorySettings StoredHistorySettings(const std::string& settingsPath) {
  const Profile profile = Profile::Load(settingsPath);
  HistorySettings history;
  // Only "0" turns it off: a history lost to a typing error would be found too late.
  history.enabled = profile.ReadString("History", "Enabled", "1") != "0";
  history.path = profile.ReadString("History", "Path", "");
  return history;
}

}  // namespace quorvex
