// Keeps the window's file commands and its closing waiting while a transfer holds the port.
#include "ui/transfer_guard.h"

#include <QTimer>
#include <QWidget>
#include <utility>

#include "ui/close_request_watch.h"

namespace quorvex {

TransferGuard::TransferGuard(QWidget& window, std::function<void(bool)> enableCommands)
    : window_(window),
      enableCommands_(std::move(enableCommands)),
      closeWatch_(std::make_unique<CloseRequestWatch>(window, [this] { return PostponeClose(); })) {
}

TransferGuard::~TransferGuard() = default;

TransferGuard::Hold::Hold(TransferGuard& guard) : guard_(guard) {
  guard_.Begin();
}

TransferGuard::Hold::~Hold() {
  guard_.End();
}

bool TransferGuard::PostponeClose() {
  if (transfers_ == 0) return false;
  closePending_ = true;
  return true;
}

void TransferGuard::Begin() {
  ++transfers_;
  enableCommands_(false);
}

void TransferGuard::End() {
  if (--transfers_ > 0) return;
  enableCommands_(true);
  if (closePending_) {
    closePending_ = false;
    // After the command's own handler has returned.
    QTimer::singleShot(0, &window_, &QWidget::close);
  }
}

}  // namespace quorvex
