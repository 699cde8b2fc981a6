// Helpers of the auxiliary window tests: answering the next modal window.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

// Helpers of the auxiliary window tests. The application object is made by the binary's own
// main() (aux_test_main.cpp), so it is gone before the process's static objects are torn down.
namespace quorvex::testing {

// Handles the next modal window other than `current` once it is up, from inside whatever modal
// loop is running by then. Gives up after `timeoutMs` so a modal that never appears fails the
// test's expectations instead of hanging it.
inline void OnNextModal(QWidget* current, std::function<void(QWidget*)> handle,
                        int timeoutMs = 5000) {
  auto* poll = new QTimer(QCoreApplication::instance());
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

}  // namespace quorvex::testing
