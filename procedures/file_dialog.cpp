// The .KFG dialogs' start folder and name, and the extension a typed name gets.
#include "procedures/file_dialog.h"

#include <string_view>

#include "core/app_context.h"
#include "storage/atomic_file.h"

namespace quorvex {

namespace {

#ifdef _WIN32
constexpr std::string_view kFolderSeparators = "\\/:";
#else
constexpr std::string_view kFolderSeparators = "/";
#endif

// Where the file name starts in a path (0 when the path has no folder part).
std::size_t NameStart(const std::string& path) {
  const auto separator = path.find_last_of(kFolderSeparators);
  return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace

FileDialogRequest DialogRequest(const std::string& title, const AppContext& ctx,
                                const std::string& rememberedFileName) {
  FileDialogRequest request;
  request.title = title;
  request.filter = ctx.texts.fileTypeName + " (*.KFG)|*.KFG";
  request.defaultExtension = "KFG";
  if (IsRegularFile(rememberedFileName)) {
    const std::size_t nameStart = NameStart(rememberedFileName);
    request.initialName = rememberedFileName.substr(nameStart);
    if (nameStart == 0) {
      request.initialFolder = ".";
    } else {
      // Keep the separator where the folder would otherwise vanish (the root "/"), become
      // drive-relative ("C:" from "C:\\") or lose its drive ("C" from "C:").
      const std::size_t separator = nameStart - 1;
      const bool keepSeparator = separator == 0 || rememberedFileName[separator] == ':' ||
                                 rememberedFileName[separator - 1] == ':';
      request.initialFolder = rememberedFileName.substr(0, keepSeparator ? nameStart : separator);
    }
  }
  return request;
}

std::string WithDefaultExtension(const std::string& path) {
  const std::size_t nameStart = NameStart(path);
  if (path.find('.', nameStart) != std::string::npos) return path;
  return path + ".KFG";
}

}  // namespace quorvex
