// The .KFG file: the 41 bytes of a configuration, read and written as they are.
#pragma once

#include <string>

#include "core/config_image.h"
#include "storage/file_error.h"

namespace quorvex {

// Reads the first 41 bytes of the file (read-only access). Throws FileError.
ConfigImage ReadKfgImage(const std::string& path);
// Replaces the file atomically with the 41 bytes: on failure the previous file stays intact and
// no temporary file is left. Throws FileError.
void WriteKfgImage(const std::string& path, const ConfigImage& image);

// The part after the last "\", "/" or ":", ASCII letters in capitals: BOILER1.KFG.
std::string DisplayName(const std::string& path);

}  // namespace quorvex
