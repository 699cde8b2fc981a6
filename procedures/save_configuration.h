// Save configuration... (Konfigurationspeichern1Click): the check, the dialog, the .KFG file.
#pragma once

#include <string>

namespace quorvex {

class ChannelPanel;
class Operator;
struct AppContext;

// The window's SaveKfgFile: encoding, atomic file replacement, refresh and status text. Throws
// FileError (and what the encoders throw).
void SaveKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx, const std::string& path);

// The File menu command. `rememberedFileName` is the window's remembered file name. True when a
// file was written, false when the check failed or the dialog was left.
bool Konfigurationspeichern1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                                  std::string& rememberedFileName);

}  // namespace quorvex
