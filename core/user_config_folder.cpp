// The user's configuration folder of the program, created readable by its owner only.
#include "core/user_config_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace quorvex {
namespace {

namespace fs = std::filesystem;

bool IsAbsolute(const std::string& path) {
  return !path.empty() && path.front() == '/';
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string UserConfigFolder(const std::string& xdgConfigHome, const std::string& home) {
  // A relative XDG_CONFIG_HOME is invalid by the base-directory rules and must be ignored, or
  // the result would depend on the working folder.
  if (IsAbsolute(xdgConfigHome)) return JoinPath(xdgConfigHome, "quorvex");
  if (IsAbsolute(home)) return JoinPath(JoinPath(home, ".config"), "quorvex");
  return {};
}

void CreatePrivateFolders(const std::string& folder) {
  const fs::path path(folder);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return;
  if (path.has_parent_path() && path.parent_path() != path) {
    CreatePrivateFolders(path.parent_path().string());
  }
#ifdef _WIN32
  fs::create_directory(path, ec);
  if (ec) throw std::system_error(ec, folder);
#else
  // Made with the final mode at once, so the folder is never open to others for a moment.
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw std::system_error(errno, std::generic_category(), folder);
  }
#endif
}

}  // namespace quorvex
