// The .KFG file and the File menu's Konfigurationladen1Click, Konfigurationspeichern1Click.
#pragma once

#include <string>

#include "core/config_image.h"
#include "core/errors.h"

namespace quorvex {

class ChannelPanel;
class Operator;
struct AppContext;

// A failed file operation; what() is the operator's message ("File not found", "Disk full", ...).
class FileError : public ReportedError {
 public:
  using ReportedError::ReportedError;
};

// Reads the first 41 bytes of the file (read-only access). Throws FileError.
ConfigImage ReadKfgImage(const std::string& path);
// Replaces the file atomically with the 41 bytes: on failure the previous file stays intact and
// no temporary file is left. Throws FileError.
void WriteKfgImage(const std::string& path, const ConfigImage& image);

// The part after the last "\", "/" or ":", ASCII letters in capitals: BOILER1.KFG.
std::string DisplayName(const std::string& path);

// The window's LoadKfgFile and SaveKfgFile: file access, decoding or encoding, status text and
// refresh. Throw FileError (and what the encoders throw).
void LoadKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx, const std::string& path);
void SaveKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx, const std::string& path);

// The File menu commands. `rememberedFileName` is the window's remembered file name.
void Konfigurationladen1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                              std::string& rememberedFileName);
void Konfigurationspeichern1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                                  std::string& rememberedFileName);

}  // namespace quorvex
