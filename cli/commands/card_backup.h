// write --backup: what a card held, kept in a file of its own before the write overwrites it.
#pragma once

#include <chrono>
#include <string>

#include "core/config_image.h"

namespace quorvex::cli {

// The card's part of a backup's name: its stable device name made safe as a file name (a
// /dev/serial/by-id name without its folder; on Windows a device instance ID, whose '\' and '&'
// become '_'), or "COMn" where the device has no stable name.
std::string BackupStem(const std::string& stableName, int port);

// A UTC time as a backup's name carries it: "20261208T141502Z".
std::string BackupTime(std::chrono::system_clock::time_point when);

// Saves the image as FOLDER/STEM-TIME.KFG, or with "-2", "-3" ... before ".KFG" where that name
// is taken: an existing file is never replaced, and two cards saving at the same second (threads
// or processes) never meet on one name, since each name is claimed by an exclusive create before
// the bytes go in atomically. Returns the path; throws FileError naming the file.
std::string SaveBackup(const std::string& folder, const std::string& stem,
                       std::chrono::system_clock::time_point when, const ConfigImage& image);

}  // namespace quorvex::cli
