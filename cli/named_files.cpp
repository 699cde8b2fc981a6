// Each file access of the commands, with the one wording that names the file in its error.
#include "cli/named_files.h"

#include "storage/atomic_file.h"
#include "storage/kfg_file.h"

namespace quorvex::cli {

namespace {

template <typename Access>
auto NamingFile(const std::string& path, Access access) -> decltype(access()) {
  try {
    return access();
  } catch (const FileError& e) {
    throw FileError(path + ": " + e.what());
  }
}

}  // namespace

ConfigImage LoadImage(const std::string& path) {
  return NamingFile(path, [&] { return ReadKfgImage(path); });
}

void SaveImage(const std::string& path, const ConfigImage& image) {
  NamingFile(path, [&] { WriteKfgImage(path, image); });
}

std::string LoadTextStart(const std::string& path, std::size_t maxBytes) {
  return NamingFile(path, [&] { return ReadFileStart(path, maxBytes); });
}

void SaveText(const std::string& path, const std::string& text) {
  NamingFile(path, [&] { WriteFileAtomically(path, text); });
}

}  // namespace quorvex::cli
