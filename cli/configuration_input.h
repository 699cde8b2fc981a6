// What a command takes as a configuration: a .KFG file, or a configuration record (.csv) as the
// window exports it or a spreadsheet saved it again; and the window's check before a save.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "core/config_image.h"

namespace quorvex {
class MemoryPanel;
}

namespace quorvex::cli {

// A configuration record is a text file; it names no more than a megabyte.
inline constexpr std::size_t kMaxTextInputBytes = 1 << 20;

// True for a name ending in ".csv", in any letter case.
bool IsRecordFile(const std::string& path);

// The panel's channels checked as the window checks a save (its messages naming the channel, on
// `err`) and encoded; nothing after such a message.
std::optional<ConfigImage> CheckedImage(MemoryPanel& panel, std::ostream& err);

// The record's 41 bytes: its image where it has one (once every channel row agrees with it),
// otherwise its channel rows checked and encoded as CheckedImage does. Throws RecordInputError
// naming the file, line and column; nothing after the check's message.
std::optional<ConfigImage> RecordImage(const std::string& path, const std::string& text,
                                       std::ostream& err);

// The configuration a write or verify is given: a record's bytes as RecordImage has them, a
// .KFG file's as they are.
std::optional<ConfigImage> LoadConfiguration(const std::string& path, std::ostream& err);

}  // namespace quorvex::cli
