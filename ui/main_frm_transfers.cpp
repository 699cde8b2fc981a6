// MainFrm's card transfers: the session they are given, and the guard they run under, which
// also keeps the window from closing under them.
#include <QCloseEvent>

#include "core/app_context.h"
#include "core/operator.h"
#include "procedures/card_session.h"
#include "ui/error_report.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/record_presentation.h"
#include "ui/settings_autosave.h"
#include "ui/transfer_guard.h"

namespace quorvex {

std::uint16_t MainFrm::RegisterAddress() const {
  return session_->RegisterAddress();
}

bool MainFrm::TransferRunning() const {
  return transferGuard_->Running();
}

void MainFrm::RunTransfer(const std::function<void()>& command) {
  const TransferGuard::Hold hold(*transferGuard_);
  const SettingsAutosave::Transfer noWritesMeanwhile(*autosave_);
  RunReported(command);
}

CardComparison MainFrm::VergleichenClick() {
  CardComparison comparison = session_->Compare();
  if (comparison.outcome != TransferOutcome::Done) return comparison;
  op_.MessageBox(ctx_.texts.compareCaption, CompareBoxText(comparison.differences, ctx_.texts),
                 BoxIcon::Information);
  return comparison;
}

void MainFrm::closeEvent(QCloseEvent* event) {
  if (transferGuard_->PostponeClose()) {
    event->ignore();
    return;
  }
  event->accept();
  FormDestroy();
}

}  // namespace quorvex
