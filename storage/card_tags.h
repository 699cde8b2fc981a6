// The cards' tags: the analyser's plant tag a port leads to, given in the window and kept in the
// settings file, so that the history can tell which card a transfer was with.
#pragma once

#include <string>

namespace quorvex {

// The settings file's section of the tags, one key per port.
inline constexpr const char* kCardTagSection = "CardTags";

// The key a port's tag is kept under: "COM3" for a port of this machine; for a COM number that a
// device server's port serves, that port's URL, so the tag follows the server's port and not the
// number it happens to be reached through.
std::string CardTagKey(int comNumber, const std::string& deviceServerUrl);

// The tag as it can be kept and shown: blanks at both ends taken off, control characters (a line
// break would end the settings line) left out.
std::string CleanCardTag(const std::string& tag);

// The tag kept under `key`, "" when none. A missing or damaged file gives none.
std::string StoredCardTag(const std::string& settingsPath, const std::string& key);

// Keeps `tag` under `key` (an empty tag takes it away), everything else in the file as it was, in
// one atomic replacement. Throws FileError "Unable to write to <path>" and leaves the previous
// file intact when it cannot be written.
void SaveCardTag(const std::string& settingsPath, const std::string& key, const std::string& tag);

}  // namespace quorvex
