// File access for both files: operator's error texts and replacement by temp file and rename.
#include "storage/atomic_file.h"

#include <random>

#include "storage/atomic_file_parts.h"
#include "storage/file_error.h"

namespace quorvex::atomic {

std::string RandomSuffix(unsigned attempt) {
  static constexpr const char* kDigits = "0123456789abcdef";
  std::random_device random;
  unsigned value = random() ^ (attempt * 2654435761u);
  std::string suffix;
  for (int i = 0; i < 8; ++i, value >>= 4) suffix += kDigits[value & 0xFu];
  return suffix;
}

std::string IoErrorMessage(int code) {
  return "I/O error " + std::to_string(code);
}

void Fail(int code, const std::string& path) {
  throw FileError(FileErrorMessage(code, path));
}

}  // namespace quorvex::atomic
