// The program's start: the context, the port backend and the windows, made in their order.
#include <QDir>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "core/app_context.h"
#include "link/clock.h"
#include "link/serial_line.h"
#include "storage/settings.h"
#include "ui/com_port_frm.h"
#include "ui/debug_win.h"
#include "ui/first_paint_probe.h"
#include "ui/main_frm.h"
#include "ui/qt_operator.h"
#include "ui/qt_text.h"

namespace {

// QUORVEX_SCREENSHOT=<file>: once the main window has been painted, save its picture there and
// close it, which ends the program as Quit would. Used by the demo script without a display.
class ScreenshotOnFirstPaint : public QObject {
 public:
  ScreenshotOnFirstPaint(QWidget& window, QString path) : window_(window), path_(std::move(path)) {
    window_.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Paint && !taken_) {
      taken_ = true;
      QTimer::singleShot(0, &window_, [this] {
        const bool saved = window_.grab().save(path_);
        qInfo("%s %s", saved ? "Screenshot saved to" : "Could not save the screenshot to",
              qPrintable(QDir::toNativeSeparators(path_)));
        window_.close();
      });
    }
    return false;
  }

 private:
  QWidget& window_;
  QString path_;
  bool taken_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  quorvex::Application app(argc, argv);

  std::vector<std::string> arguments;
  const QStringList all = QCoreApplication::arguments();
  for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(quorvex::FromQ(all[i]));

  quorvex::AppContext ctx;
  std::unique_ptr<quorvex::SerialPorts> ports = quorvex::MakeSystemSerialPorts();
  quorvex::SteadyClock clock;
  quorvex::QtOperator op;

  // Made hidden, main window first: it restores the settings and must not need the others.
  quorvex::MainFrm mainFrm(
      ctx, op, *ports, clock,
      quorvex::SettingsPathFor(quorvex::FromQ(QCoreApplication::applicationFilePath())), arguments);
  op.SetStatusPanel(mainFrm.StatusPanel());
  quorvex::DebugWin debugWin(ctx);
  op.SetDebugWin(&debugWin);
  quorvex::ComPortFrm comPortFrm(ctx, *ports);
  mainFrm.SetComPortFrm(&comPortFrm);
  // Closing the main window ends the program, even with the debug log still open.
  debugWin.setAttribute(Qt::WA_QuitOnClose, false);
  comPortFrm.setAttribute(Qt::WA_QuitOnClose, false);

  std::unique_ptr<ScreenshotOnFirstPaint> screenshot;
  if (const QString path = qEnvironmentVariable("QUORVEX_SCREENSHOT"); !path.isEmpty()) {
    screenshot = std::make_unique<ScreenshotOnFirstPaint>(mainFrm, path);
  }

  std::unique_ptr<quorvex::FirstPaintProbe> probe;
  if (quorvex::FirstPaintProbe::Requested()) {
    probe = std::make_unique<quorvex::FirstPaintProbe>(mainFrm);
  }

  mainFrm.show();
  return app.exec();
}
