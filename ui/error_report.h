// The default error report, and how handlers hand their errors to it past Qt's frames.
#pragma once

#include <QEvent>
#include <exception>
#include <string>
#include <string_view>

class QWidget;

namespace quorvex {

// The message as the default error report shows it: with a full stop unless it ends in one.
std::string ErrorReportText(std::string_view message);

// The default error report itself: a stop-icon box captioned with the application title. A window
// that reports its own errors passes itself as owner, so the box stays on top of it.
void ShowErrorBox(std::string_view message, QWidget* owner = nullptr);

// Carries an error's message to the application object, which owns the default error report.
// Handlers end their work and send this instead of letting an exception unwind through Qt's own
// frames: the Qt libraries are built without exception support and would skip their clean-up.
class ErrorReportEvent : public QEvent {
 public:
  explicit ErrorReportEvent(std::string message);
  static QEvent::Type EventType();
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

// The message of an exception caught with catch (...): what() for std::exception.
std::string ExceptionMessage(const std::exception_ptr& error);

// Hands the message to the application's default error report; shows the box itself when the
// application object does not take the event.
void ReportError(std::string_view message);

// Runs `work`; an exception leaving it ends it and goes to the default error report.
template <class Work>
void RunReported(Work&& work) {
  try {
    work();
  } catch (...) {
    ReportError(ExceptionMessage(std::current_exception()));
  }
}

}  // namespace quorvex
