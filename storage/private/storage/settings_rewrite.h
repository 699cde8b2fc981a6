// Rewriting some keys of the settings file while keeping every other line, for each part of the
// storage layer that keeps its own keys there.
#pragma once

#include <string>

#include "storage/profile.h"

namespace quorvex {

// The file as it stands, to have keys replaced in it; empty when it is not there yet. A file that
// exists but cannot be read would be replaced by one holding only our keys: FileError(failure).
Profile ProfileToRewrite(const std::string& settingsPath, const std::string& failure);

// The profile written back atomically; FileError(failure) when it cannot be.
void WriteProfile(const std::string& settingsPath, const Profile& profile,
                  const std::string& failure);

}  // namespace quorvex
