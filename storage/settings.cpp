// The working state in quorvex.ini: port, channel lists and fields, window, file name.
#include "storage/settings.h"

#include <limits>
#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "storage/atomic_file.h"
#include "storage/file_error.h"
#include "storage/profile.h"

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

int ComPortNumberIn(const Profile& profile) {
  return profile.ReadInteger("Main", "COM", -1);
}

}  // namespace

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
  return window;
}

void SaveSettings(const std::string& settingsPath, const ChannelPanel& panel, const AppContext& ctx,
                  const WindowState& window) {
  const std::string failure = "Unable to write to " + settingsPath;
  // A file that exists but cannot be read would be replaced by one holding only our keys; keep
  // it and report instead.
  std::string content;
  try {
    content = ReadFileStart(settingsPath, std::numeric_limits<std::size_t>::max());
  } catch (const FileError&) {
    if (PathExists(settingsPath)) throw FileError(failure);
  }
  Profile profile(content);

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

  try {
    WriteFileAtomically(settingsPath, profile.Content());
  } catch (const FileError&) {
    throw FileError(failure);
  }
}

}  // namespace quorvex
