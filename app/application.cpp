// The application object: an error that escapes a handler ends in the default error report.
#include "app/application.h"

#include <exception>

#include "app/window_icon.h"
#include "core/app_context.h"
#include "ui/error_report.h"

namespace quorvex {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  // Only the name: a display name would be appended to every window caption on Linux, and the
  // captions must read exactly as they are set.
  setApplicationName(QString::fromUtf8(kApplicationTitle));
  setStyle(new DeferredExtensionIconStyle);  // the application owns it
}

bool Application::notify(QObject* receiver, QEvent* event) {
  // The last line of defence: the windows hand their errors over themselves, but whatever gets
  // this far must still end in the report and not in a terminated program.
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    Report(ExceptionMessage(std::current_exception()));
    return false;
  }
}

bool Application::event(QEvent* event) {
  if (event->type() == ErrorReportEvent::EventType()) {
    Report(static_cast<ErrorReportEvent*>(event)->Message());
    return true;
  }
  return QApplication::event(event);
}

void Application::Report(std::string_view message) {
  if (reporter_) {
    reporter_(ErrorReportText(message));
  } else {
    ShowErrorBox(message);
  }
}

}  // namespace quorvex
