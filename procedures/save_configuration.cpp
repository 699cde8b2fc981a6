// Save configuration...: the check, the dialog, the panel's 41 bytes into the file, the status.
#include "procedures/save_configuration.h"

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "procedures/channel_check.h"
#include "procedures/file_dialog.h"
#include "storage/kfg_file.h"

namespace quorvex {

void SaveKfgFile(ChannelPanel& panel, Operator& op, const AppContext& ctx,
                 const std::string& path) {
  const ConfigImage image = EncodeConfiguration(panel);
  WriteKfgImage(path, image);
  RefreshAllChannels(panel);
  op.ShowStatus(ctx.texts.storedStart + " " + DisplayName(path) + ctx.texts.storedEnd);
}

bool Konfigurationspeichern1Click(ChannelPanel& panel, Operator& op, AppContext& ctx,
                                  std::string& rememberedFileName) {
  // The check has shown its box already when it answers false.
  if (!ValidateAllChannels(panel, op, ctx)) return false;
  const auto answer =
      op.AskSaveFileName(DialogRequest(ctx.texts.saveDialogTitle, ctx, rememberedFileName));
  if (!answer || answer->empty()) return false;
  rememberedFileName = WithDefaultExtension(*answer);
  SaveKfgFile(panel, op, ctx, rememberedFileName);
  return true;
}

}  // namespace quorvex
