// Counts a window's paint events, to show it reaches the screen during a transfer.
#pragma once

#include <QEvent>
#include <QObject>

namespace quorvex::testing {

// Counts the paint events `watched` receives while this lives: the windows must reach the
// screen while a transfer keeps the event loop from running.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QObject& watched) { watched.installEventFilter(this); }
  int Paints() const { return paints_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints_;
    return false;
  }

 private:
  int paints_ = 0;
};

}  // namespace quorvex::testing
