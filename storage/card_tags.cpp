// The cards' tags in the settings file's own section.
#include "storage/card_tags.h"

#include "storage/atomic_file.h"
#include "storage/file_error.h"
#include "storage/profile.h"
#include "storage/settings_rewrite.h"

namespace quorvex {

std::string CardTagKey(int comNumber, const std::string& deviceServerUrl) {
  return deviceServerUrl.empty() ? "COM" + std::to_string(comNumber) : deviceServerUrl;
}

std::string CleanCardTag(const std::string& tag) {
  std::string clean;
  for (const char c : tag) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) clean += c;
  }
  const auto first = clean.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return clean.substr(first, clean.find_last_not_of(' ') - first + 1);
}

std::string StoredCardTag(const std::string& settingsPath, const std::string& key) {
  return CleanCardTag(Profile::Load(settingsPath).ReadString(kCardTagSection, key, ""));
}

void SaveCardTag(const std::string& settingsPath, const std::string& key, const std::string& tag) {
  const std::string failure = "Unable to write to " + settingsPath;
  Profile profile = ProfileToRewrite(settingsPath, failure);
  const std::string clean = CleanCardTag(tag);
  if (clean.empty() && !profile.Find(kCardTagSection, key)) return;
  profile.WriteString(kCardTagSection, key, clean);
  WriteProfile(settingsPath, profile, failure);
}

}  // namespace quorvex
