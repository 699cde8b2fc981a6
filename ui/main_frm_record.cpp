// MainFrm's record of what it shows: printed, or exported to a file.
#include <QDateTime>
#include <QFileInfo>
#include <optional>
#include <string_view>

#include "core/app_context.h"
#include "core/config_image.h"
#include "core/config_record.h"
#include "core/config_view.h"
#include "core/operator.h"
#include "procedures/channel_check.h"
#include "storage/atomic_file.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/qt_text.h"
#include "ui/record_document.h"
#include "ui/record_presentation.h"
#include "ui/record_printing.h"

namespace quorvex {

ConfigRecord MainFrm::MakeRecord() const {
  ConfigRecord record;
  record.program = ProgramNameAndVersion();
  record.dateTime =
      FromQ(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
  record.fileName = rememberedFileName_;
  record.comPort = ctx_.comPortNumber;
  record.channels = ViewConfiguration(*panel_);
  record.image = EncodeConfiguration(*panel_);
  return record;
}

void MainFrm::Konfigurationdrucken1Click() {
  // Only what could be written or saved is worth a record; the check shows its own box.
  if (!ValidateAllChannels(*panel_, op_, ctx_)) return;
  const ConfigRecord record = MakeRecord();
  const bool printed =
      PrintWithDialog(this, ToQ(ctx_.texts.recordTitle),
                      [&](QPaintDevice& printer) { PrintRecord(printer, record, ctx_.texts); });
  if (!printed) return;
  op_.ShowStatus(ctx_.texts.printed);
}

void MainFrm::Protokollexportieren1Click() {
  if (!ValidateAllChannels(*panel_, op_, ctx_)) return;
  const ConfigRecord record = MakeRecord();
  const std::optional<std::string> answer =
      op_.AskSaveFileName(ExportQuestion(ctx_.texts, rememberedFileName_));
  if (!answer || answer->empty()) return;

  const ExportedRecord exported = ExportRecord(ToQ(*answer), record, ctx_.texts);
  WriteFileAtomically(FromQ(exported.path),
                      std::string_view(exported.bytes.constData(),
                                       static_cast<std::size_t>(exported.bytes.size())));
  op_.ShowStatus(ctx_.texts.exportedStart + " " + FromQ(QFileInfo(exported.path).fileName()));
}

}  // namespace quorvex
