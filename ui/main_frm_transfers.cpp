// MainFrm's card transfers: the session they are given, and the guard they run under, which
// also keeps the window from closing under them.
#include <QCloseEvent>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_view.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"
#include "link/card_transfer.h"
#include "link/com_port.h"
#include "ui/error_report.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/record_presentation.h"
#include "ui/transfer_guard.h"

namespace quorvex {

TransferSeams MainFrm::Seams(ChannelPanel& panel) {
  return {panel, op_, *port_, clock_, ctx_, registerAddress_};
}

bool MainFrm::TransferRunning() const {
  return transferGuard_->Running();
}

void MainFrm::RunTransfer(const std::function<void()>& command) {
  const TransferGuard::Hold hold(*transferGuard_);
  RunReported(command);
}

void MainFrm::VergleichenClick() {
  // The card is read as by "Read from box", into a panel of its own: what the window shows, its
  // units and its remembered file stay as they are.
  MemoryPanel card;
  FillChannelLists(card);
  TransferSeams seams = Seams(card);
  if (EmpfangenClick(seams) != TransferOutcome::Done) return;
  const std::vector<FieldDifference> differences =
      CompareConfigurations(ViewConfiguration(*panel_), ViewConfiguration(card));
  op_.MessageBox(ctx_.texts.compareCaption, CompareBoxText(differences, ctx_.texts),
                 BoxIcon::Information);
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
