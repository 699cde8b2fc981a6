// Load configuration...: the dialog, the file's 41 bytes onto the panel, the status text.
#include "procedures/load_configuration.h"

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "procedures/file_dialog.h"
#include "storage/kfg_file.h"

namespace quorvex {

void LoadKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx,
                 const std::string& path) {
  const ConfigImage image = ReadKfgImage(path);
  ApplyConfiguration(panel, image);
  op.ShowStatus(ctx.texts.loadedStart + " " + DisplayName(path) + ctx.texts.loadedEnd);
  RefreshAllChannels(panel);
  FormatAllChannels(panel);
}

bool Konfigurationladen1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                              std::string& rememberedFileName) {
  const auto answer =
      op.AskOpenFileName(DialogRequest(ctx.texts.openDialogTitle, ctx, rememberedFileName));
  // An empty answer is no file; no dialog accepts it, so it counts as cancelled.
  if (!answer || answer->empty()) return false;
  rememberedFileName = WithDefaultExtension(*answer);
  LoadKfgFile(panel, op, ctx, rememberedFileName);
  return true;
}

}  // namespace quorvex
