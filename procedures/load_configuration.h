// Load configuration... (Konfigurationladen1Click): a .KFG file chosen in the dialog, shown.
#pragma once

#include <string>

namespace quorvex {

class ChannelPanel;
class Operator;
struct AppContext;

// The window's LoadKfgFile: file access, decoding, status text and refresh. Throws FileError
// (and what the decoders' re-display throws).
void LoadKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx, const std::string& path);

// The File menu command. `rememberedFileName` is the window's remembered file name. True when a
// file was loaded, false when the dialog was left.
bool Konfigurationladen1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                              std::string& rememberedFileName);

}  // namespace quorvex
