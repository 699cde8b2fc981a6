// The program's start: the context, the port backend and the windows, made in their order.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/window_icon.h"
#include "core/app_context.h"
#include "core/user_config_folder.h"
#include "link/clock.h"
#include "link/network_line.h"
#include "link/serial_line.h"
#include "storage/atomic_file.h"
#include "storage/program_arguments.h"
#include "storage/settings.h"
#include "storage/settings_place.h"
#include "ui/card_tag_panel.h"
#include "ui/com_port_frm.h"
#include "ui/debug_win.h"
#include "ui/device_server_ports.h"
#include "ui/error_report.h"
#include "ui/first_paint_probe.h"
#include "ui/history_port_device.h"
#include "ui/history_recording.h"
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

// The debug log and the COM port dialog, each made when first asked for: most runs open neither,
// and made at start they took a tenth of the memory the window adds to an empty Qt program.
class SideWindows {
 public:
  SideWindows(quorvex::AppContext& ctx, quorvex::SerialPorts& ports,
              quorvex::DeviceServerAssignments& deviceServers, quorvex::CardTagStore& cardTags)
      : ctx_(ctx), ports_(ports), deviceServers_(deviceServers), cardTags_(cardTags) {}

  quorvex::DebugWin& Debug() {
    if (!debugWin_) debugWin_ = NotQuitting(std::make_unique<quorvex::DebugWin>(ctx_));
    return *debugWin_;
  }
  quorvex::ComPortFrm& ComPort() {
    if (!comPortFrm_) {
      comPortFrm_ = NotQuitting(std::make_unique<quorvex::ComPortFrm>(ctx_, ports_));
      // Its serial device window then offers the device server ports.
      deviceServers_.Serve(*comPortFrm_);
      cardTags_.Serve(*comPortFrm_);  // and the cards' tags
    }
    return *comPortFrm_;
  }

 private:
  // Closing the main window ends the program, even with one of these still open.
  template <class Window>
  static std::unique_ptr<Window> NotQuitting(std::unique_ptr<Window> window) {
    window->setAttribute(Qt::WA_QuitOnClose, false);
    return window;
  }

  quorvex::AppContext& ctx_;
  quorvex::SerialPorts& ports_;
  quorvex::DeviceServerAssignments& deviceServers_;
  quorvex::CardTagStore& cardTags_;
  std::unique_ptr<quorvex::DebugWin> debugWin_;
  std::unique_ptr<quorvex::ComPortFrm> comPortFrm_;
};

// The settings file of this run; see WindowSettingsPath. With makeFolder, the folder it is to lie
// in is made when missing (a first start of the installed program); if that fails, the exit
// reports that the file cannot be written.
std::string SettingsPath(bool makeFolder) {
  const std::string executable = quorvex::FromQ(QCoreApplication::applicationFilePath());
#ifdef QUORVEX_INSTALL_BINDIR
  const std::string installBinDir = QUORVEX_INSTALL_BINDIR;
#else
  const std::string installBinDir;
#endif
  const std::string path = quorvex::WindowSettingsPath(executable, installBinDir,
                                                       quorvex::SettingsEnvironment::FromProcess());
  if (makeFolder && path != quorvex::SettingsPathFor(executable)) {
#ifdef _WIN32
    QDir().mkpath(QFileInfo(quorvex::ToQ(path)).absolutePath());
#else
    // Private: it holds the user's port links and working state.
    try {
      quorvex::CreatePrivateFolders(quorvex::FromQ(QFileInfo(quorvex::ToQ(path)).absolutePath()));
    } catch (const std::exception&) {
    }
#endif
  }
  return path;
}

// --print-com-port: the port a script is to start the card simulator on so that the program
// finds it. Only reads: a settings file or folder that does not exist is not made.
int PrintComPort(int argc, char** argv) {
  const QCoreApplication core(argc, argv);  // for the executable's path; needs no display
  try {
    const std::string path = SettingsPath(false);
    const int stored = quorvex::StoredComPortNumber(path);
    const int port = quorvex::ComPortToPrint(stored);
    if (port != stored && quorvex::PathExists(path)) {
      std::fprintf(stderr, "%s names no port from COM1 to COM255\n", path.c_str());
    }
    std::printf("%d\n", port);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quorvex: %s\n", e.what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Taken before the application object exists: it removes the toolkit's own options (-style
  // ...) from argv, and the debug switch counts the first argument the user gave, whatever it was.
  const std::vector<std::string> arguments = quorvex::ProgramArguments(argc, argv);
  switch (quorvex::StartRequestFrom(arguments)) {
    case quorvex::StartRequest::kHelp:
      std::fputs(quorvex::HelpText().c_str(), stdout);
      return 0;
    case quorvex::StartRequest::kVersion:
      std::fputs(quorvex::VersionText().c_str(), stdout);
      return 0;
    case quorvex::StartRequest::kPrintComPort:
      return PrintComPort(argc, argv);
    case quorvex::StartRequest::kRun:
      break;
  }

  quorvex::Application app(argc, argv);
  app.setWindowIcon(quorvex::WindowIcon());

  std::string settingsPath;
  try {
    settingsPath = SettingsPath(true);
  } catch (const std::exception& e) {
    quorvex::ShowErrorBox(e.what());
    return 1;
  }

  quorvex::AppContext ctx;
  // COM numbers assigned to device server ports are served by them; the others are this
  // machine's, as ever.
  quorvex::DeviceServerAssignments deviceServers(settingsPath);
  quorvex::AssignedSerialPorts ports(quorvex::MakeSystemSerialPorts(), deviceServers.Assignments());
  QObject::connect(&deviceServers, &quorvex::DeviceServerAssignments::Changed,
                   [&] { ports.Reassign(deviceServers.Assignments()); });
  quorvex::SteadyClock clock;
  quorvex::QtOperator op;

  quorvex::CardTagStore cardTags(settingsPath);
  SideWindows sideWindows(ctx, ports, deviceServers,
                          cardTags);  // before the main window: outlive it
  op.SetDebugWin([&sideWindows]() -> quorvex::DebugWin& { return sideWindows.Debug(); });
  // Made hidden: it restores the settings.
  quorvex::MainFrm mainFrm(ctx, op, ports, clock, settingsPath, arguments);
  op.SetStatusPanel(mainFrm.StatusPanel());
  mainFrm.SetComPortFrm([&sideWindows]() -> quorvex::ComPortFrm& { return sideWindows.ComPort(); });
  mainFrm.LoadWhenShown(quorvex::ConfigurationFileFrom(arguments));
  // Every transfer is recorded in the history; a place that cannot be known leaves it off.
  try {
    mainFrm.UseHistory(
        quorvex::WindowHistoryPath(quorvex::FromQ(QCoreApplication::applicationFilePath()),
                                   settingsPath, quorvex::SettingsEnvironment::FromProcess()));
  } catch (const std::exception& e) {
    op.AddDebugLine(e.what());
  }
  mainFrm.SetPortIdentity([&deviceServers](int n) {
    const quorvex::NetworkAssignments assigned = deviceServers.Assignments();
    if (const auto it = assigned.find(n); it != assigned.end()) {
      return quorvex::PortIdentity{quorvex::NetworkEndpointUrl(it->second), true};
    }
    return quorvex::PortIdentity{
        quorvex::LocalPortDevice(n, quorvex::PortNameEnvironment::FromProcess()), false};
  });

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
