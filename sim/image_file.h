// The simulator's register image kept in a 41-byte file between runs.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "sim/card_model.h"

namespace quorvex::sim {

class ImageFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The registers kept in a file, in .KFG form. Nothing when the file does not exist; throws
// ImageFileError for a file that cannot be read or is not exactly 41 bytes long (it would be
// cut to 41 bytes by the first save).
std::optional<RegisterImage> LoadImageFile(const std::string& path);

// Replaces the file with the image through a temporary file and a rename, so a reader never
// sees half an image. Keeps the mode of an existing file. Throws ImageFileError.
void SaveImageFile(const std::string& path, const RegisterImage& image);

}  // namespace quorvex::sim
