// Keeps the window's file commands and its closing waiting while a transfer holds the port.
#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace quorvex {

class CloseRequestWatch;

// While a transfer holds the port, the window must not load, save or go away under it. The
// guard switches the commands that must wait off for as long as any transfer runs, and holds a
// close requested meanwhile (by the window system or from within) until the last transfer ends.
class TransferGuard {
 public:
  // `enableCommands` switches the waiting commands: off when a transfer starts, on again after
  // the last one.
  TransferGuard(QWidget& window, std::function<void(bool)> enableCommands);
  ~TransferGuard();
  TransferGuard(const TransferGuard&) = delete;
  TransferGuard& operator=(const TransferGuard&) = delete;

  // One transfer, for as long as it lives. Transfers nest: a prompt's event loop may start
  // another.
  class Hold {
   public:
    explicit Hold(TransferGuard& guard);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    TransferGuard& guard_;
  };

  bool Running() const { return transfers_ > 0; }

  // For a close request: true when it has to wait; the window is then closed once the last
  // transfer has ended.
  bool PostponeClose();

 private:
  void Begin();
  void End();

  QWidget& window_;
  std::function<void(bool)> enableCommands_;
  int transfers_ = 0;
  bool closePending_ = false;
  std::unique_ptr<CloseRequestWatch> closeWatch_;
};

}  // namespace quorvex
