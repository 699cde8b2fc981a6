// A fresh temporary folder for a test, removed with its content at the end.
#pragma once

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace quorvex::testing {

// Names in the folder, sorted, without "." and "..".
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  // create_directory reports whether it made the folder, so a name another run took is retried.
  TempFolder() {
    std::random_device seed;
    std::mt19937_64 names(seed());
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const auto candidate = base / ("quorvex-test-" + std::to_string(names() % 1'000'000'000));
      if (std::filesystem::create_directory(candidate)) path_ = candidate.generic_string();
    }
    if (path_.empty()) throw std::runtime_error("cannot make a temporary folder");
  }
  // Windows refuses to delete a read-only file, so write access is given back first.
  ~TempFolder() {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         !ignored && it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (!it->is_symlink(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ignored);
      }
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Entries() const { return FolderEntries(path_); }

  // Lets every user in, so a child process that gave up its privileges can work here.
  void OpenToEveryone() const { std::filesystem::permissions(path_, std::filesystem::perms::all); }

 private:
  std::string path_;
};

}  // namespace quorvex::testing
