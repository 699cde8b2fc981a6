// The .KFG file: 41 bytes read and written, the dialogs, the File menu commands.
#include "storage/kfg_file.h"

#include <algorithm>
#include <string_view>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "storage/ascii_case.h"
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

// The dialog starts in the folder and with the name of the file used last, but only while that
// file exists; otherwise it keeps what it had after its previous use.
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

// The dialogs append the default extension themselves; doing it here as well keeps callers
// without such a dialog (tools, tests, another front end) saving the same file names.
std::string WithDefaultExtension(const std::string& path) {
  const std::size_t nameStart = NameStart(path);
  if (path.find('.', nameStart) != std::string::npos) return path;
  return path + ".KFG";
}

}  // namespace

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

void LoadKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx,
                 const std::string& path) {
  const ConfigImage image = ReadKfgImage(path);
  ApplyConfiguration(panel, image);
  op.ShowStatus(ctx.texts.loadedStart + " " + DisplayName(path) + ctx.texts.loadedEnd);
  RefreshAllChannels(panel);
  FormatAllChannels(panel);
}

void SaveKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx,
                 const std::string& path) {
  const ConfigImage image = EncodeConfiguration(panel);
  WriteKfgImage(path, image);
  RefreshAllChannels(panel);
  op.ShowStatus(ctx.texts.storedStart + " " + DisplayName(path) + ctx.texts.storedEnd);
}

void Konfigurationladen1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                              std::string& rememberedFileName) {
  const auto answer =
      op.AskOpenFileName(DialogRequest(ctx.texts.openDialogTitle, ctx, rememberedFileName));
  // An empty answer is no file; no dialog accepts it, so it counts as cancelled.
  if (!answer || answer->empty()) return;
  rememberedFileName = WithDefaultExtension(*answer);
  LoadKfgFile(panel, op, ctx, rememberedFileName);
}

void Konfigurationspeichern1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                                  std::string& rememberedFileName) {
  // The check has shown its box already when it answers false.
  if (!ValidateAllChannels(panel, op, ctx)) return;
  const auto answer =
      op.AskSaveFileName(DialogRequest(ctx.texts.saveDialogTitle, ctx, rememberedFileName));
  if (!answer || answer->empty()) return;
  rememberedFileName = WithDefaultExtension(*answer);
  SaveKfgFile(panel, op, ctx, rememberedFileName);
}

}  // namespace quorvex
