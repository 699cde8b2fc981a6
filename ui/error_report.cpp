// The default error report: the stop-icon box, and errors carried to it as events.
#include "ui/error_report.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

#include "core/app_context.h"
#include "ui/qt_text.h"

namespace quorvex {

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.ends_with('.')) text += '.';
  return text;
}

void ShowErrorBox(std::string_view message, QWidget* owner) {
  // The default report has no owner: it must come up even while the main window is being built
  // or closed.
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle),
                  ToQ(ErrorReportText(message)), QMessageBox::Ok, owner);
  box.exec();
}

ErrorReportEvent::ErrorReportEvent(std::string message)
    : QEvent(EventType()), message_(std::move(message)) {}

QEvent::Type ErrorReportEvent::EventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

std::string ExceptionMessage(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

void ReportError(std::string_view message) {
  ErrorReportEvent event{std::string(message)};
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || !QCoreApplication::sendEvent(app, &event)) ShowErrorBox(message);
}

}  // namespace quorvex
