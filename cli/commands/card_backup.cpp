// The backup's name, and its save that claims the name before it writes.
#include "cli/commands/card_backup.h"

#include <utility>

#include "cli/named_files.h"
#include "storage/atomic_file.h"
#include "storage/file_error.h"
#include "storage/history.h"

namespace quorvex::cli {

namespace {

// Long enough for any by-id name or instance ID seen, short enough to leave room in MAX_PATH.
constexpr std::size_t kMaxStem = 120;
// A folder with this many backups of one card in one second is no folder of backups.
constexpr int kMaxCounter = 1000;

bool SafeInName(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '+';
}

// The claimed but still empty file goes again unless the bytes reached it.
class Claim {
 public:
  explicit Claim(std::string path) : path_(std::move(path)) {}
  ~Claim() {
    if (!kept_) RemoveFile(path_);
  }
  Claim(const Claim&) = delete;
  Claim& operator=(const Claim&) = delete;
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

}  // namespace

std::string BackupStem(const std::string& stableName, int port) {
  std::string name = stableName;
  // A POSIX stable name is a link in /dev/serial/by-id; its folder says nothing.
  if (!name.empty() && name.front() == '/') name = name.substr(name.rfind('/') + 1);
  for (char& c : name) {
    if (!SafeInName(c)) c = '_';
  }
  // A leading dot would hide the file from a listing.
  if (!name.empty() && name.front() == '.') name.front() = '_';
  if (name.size() > kMaxStem) name.resize(kMaxStem);
  if (name.find_first_not_of('_') == std::string::npos) return "COM" + std::to_string(port);
  return name;
}

std::string BackupTime(std::chrono::system_clock::time_point when) {
  return UtcText(when, "%Y%m%dT%H%M%SZ");
}

std::string SaveBackup(const std::string& folder, const std::string& stem,
                       std::chrono::system_clock::time_point when, const ConfigImage& image) {
  std::string base = folder;
  if (!base.empty() && base.back() != '/' && base.back() != '\\') base += '/';
  base += stem + "-" + BackupTime(when);
  for (int counter = 1; counter <= kMaxCounter; ++counter) {
    const std::string path =
        base + (counter == 1 ? std::string() : "-" + std::to_string(counter)) + ".KFG";
    if (!CreateNewFile(path)) continue;
    Claim claim(path);
    SaveImage(path, image);
    claim.Keep();
    return path;
  }
  throw FileError(base + ".KFG: every name up to -" + std::to_string(kMaxCounter) +
                  " is taken already");
}

}  // namespace quorvex::cli
