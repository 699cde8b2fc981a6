// The application object, the last catcher of errors on their way to the default report.
#pragma once

#include <QApplication>
#include <functional>
#include <string>
#include <string_view>

namespace quorvex {

// The application object. An error that a handler lets out ends that handler and reaches the
// default error report here; the program then goes on.
class Application : public QApplication {
 public:
  // Receives the finished report text (message with its full stop).
  using Reporter = std::function<void(const std::string& reportText)>;

  Application(int& argc, char** argv);

  // Tests record the report instead of showing a box.
  void SetReporter(Reporter reporter) { reporter_ = std::move(reporter); }

  bool notify(QObject* receiver, QEvent* event) override;

 protected:
  bool event(QEvent* event) override;

 private:
  void Report(std::string_view message);

  Reporter reporter_;
};

}  // namespace quorvex
