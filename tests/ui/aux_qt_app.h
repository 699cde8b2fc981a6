#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace quorvex::uitest {

// The widget tests share one application object; gtest's own main() does not make one.
inline QApplication& TestApp() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  static int argc = 1;
  static char name[] = "aux_windows_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

// Handles the next modal window other than `current` once it is up, from inside whatever modal
// loop is running by then. Gives up after `timeoutMs` so a modal that never appears fails the
// test's expectations instead of hanging it.
inline void OnNextModal(QWidget* current, std::function<void(QWidget*)> handle,
                        int timeoutMs = 5000) {
  auto* poll = new QTimer(&TestApp());
  auto* started = new QElapsedTimer;
  started->start();
  QPointer<QWidget> outer(current);
  QObject::connect(poll, &QTimer::timeout, poll, [=] {
    QWidget* modal = QApplication::activeModalWidget();
    const bool found = modal != nullptr && modal != outer.data() && modal->isVisible();
    if (found || started->elapsed() > timeoutMs) {
      poll->stop();
      poll->deleteLater();
      delete started;
      if (found) {
        handle(modal);
      }
    }
  });
  poll->start(5);
}

// Runs dialog.exec() with `interact` called once it is up. A watchdog rejects every dialog still
// open after `timeoutMs`, so a dialog the test forgot to close cannot hang the run.
inline int ExecWith(QDialog& dialog, std::function<void()> interact, bool* watchdogFired,
                    int timeoutMs = 10000) {
  *watchdogFired = false;
  QTimer::singleShot(0, &dialog, interact);
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [watchdogFired] {
    *watchdogFired = true;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* open = qobject_cast<QDialog*>(top); open != nullptr && open->isVisible()) {
        open->reject();
      }
    }
  });
  watchdog.start(timeoutMs);
  return dialog.exec();
}

}  // namespace quorvex::uitest
