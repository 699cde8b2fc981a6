// The start-up benchmark's probe: prints when the window was first painted, then ends.
#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace quorvex {

// For the start-up benchmark: with QUORVEX_FIRST_PAINT_PROBE set, the process prints the
// steady-clock time at which its window has been painted once ("first-paint-ns <n>") and ends at
// once, so the benchmark measures the start and nothing after it. The baseline program of the
// benchmark uses the same probe, so both are measured alike.
class FirstPaintProbe : public QObject {
 public:
  static bool Requested() { return !qEnvironmentVariableIsEmpty("QUORVEX_FIRST_PAINT_PROBE"); }

  explicit FirstPaintProbe(QWidget& window) : window_(window) { window_.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      // Queued, so the paint that triggered this has been carried out when the time is taken.
      QTimer::singleShot(0, this, [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("first-paint-ns %lld\n",
                    static_cast<long long>(std::chrono::nanoseconds(now).count()));
        std::fflush(stdout);
        std::_Exit(0);
      });
    }
    return false;
  }

 private:
  QWidget& window_;
  bool seen_ = false;
};

}  // namespace quorvex
