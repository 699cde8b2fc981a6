// The .KFG file: 41 bytes read and written, and the name the status line gives it.
#include "storage/kfg_file.h"

#include <algorithm>
#include <string_view>

#include "core/config_image.h"
#include "storage/ascii_case.h"
#include "storage/atomic_file.h"

namespace quorvex {

ConfigImage ReadKfgImage(const std::string& path) {
  const std::string bytes = ReadFileStart(path, kConfigImageSize);
  // All 41 bytes are read before any is applied, so a short file leaves the channels as they
  // were.
  if (bytes.size() < kConfigImageSize) throw FileError("Read beyond end of file");
  ConfigImage image{};
  std::copy(bytes.begin(), bytes.end(), image.begin());
  return image;
}

void WriteKfgImage(const std::string& path, const ConfigImage& image) {
  WriteFileAtomically(path,
                      std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

std::string DisplayName(const std::string& path) {
  const auto separator = path.find_last_of("\\/:");
  return AsciiUpper(separator == std::string::npos ? path : path.substr(separator + 1));
}

}  // namespace quorvex
