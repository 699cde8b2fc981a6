// The user's configuration folder of the program: settings of an installed program, port links.
#pragma once

#include <string>

namespace quorvex {

// The program's folder among the user's configuration: ${XDG_CONFIG_HOME:-$HOME/.config}/quorvex.
// Empty when neither value is an absolute folder.
std::string UserConfigFolder(const std::string& xdgConfigHome, const std::string& home);

// `folder` + "/" + `name`, without doubling a trailing slash.
std::string JoinPath(const std::string& folder, const std::string& name);

// Creates `folder` and the missing folders above it, readable by their owner only: the
// configuration holds the user's port links and working state. Throws std::system_error.
void CreatePrivateFolders(const std::string& folder);

}  // namespace quorvex
