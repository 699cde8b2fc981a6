// The files a command reads and writes, with the file named in every FileError: the storage
// layer's messages are the window's ("File not found"), and a command may name two files.
#pragma once

#include <cstddef>
#include <string>

#include "core/config_image.h"

namespace quorvex::cli {

// A .KFG file's 41 bytes.
ConfigImage LoadImage(const std::string& path);

// A .KFG file, replaced atomically.
void SaveImage(const std::string& path, const ConfigImage& image);

// Up to `maxBytes` of a text file's start.
std::string LoadTextStart(const std::string& path, std::size_t maxBytes);

// A text file, replaced atomically.
void SaveText(const std::string& path, const std::string& text);

}  // namespace quorvex::cli
