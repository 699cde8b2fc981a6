// The application's default error report: what it shows, and that the program goes on.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <stdexcept>
#include <string>
#include <vector>

#include "storage/file_error.h"
#include "tests/ui/window_test_support.h"
#include "ui/error_report.h"

namespace quorvex::testing {
namespace {

TEST(DefaultErrorReport, EndsTheMessageWithExactlyOneFullStop) {
  EXPECT_EQ(ErrorReportText("File not found"), "File not found.");
  EXPECT_EQ(ErrorReportText("Unable to write to /opt/q/quorvex.ini"),
            "Unable to write to /opt/q/quorvex.ini.");
  EXPECT_EQ(ErrorReportText("'1.2.' is not a valid floating point value."),
            "'1.2.' is not a valid floating point value.");
}

// Throws whatever the test puts into `error` when it receives a user event.
class Thrower : public QObject {
 public:
  std::function<void()> error;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User && error) error();
    return QObject::event(e);
  }
};

TEST(DefaultErrorReport, AnErrorLeavingAHandlerIsReportedAndTheProgramGoesOn) {
  TestApp();
  Reports().clear();
  Thrower thrower;

  thrower.error = [] { throw FileError("Read beyond end of file"); };
  QEvent direct(QEvent::User);
  QCoreApplication::sendEvent(&thrower, &direct);
  EXPECT_EQ(Reports(), std::vector<std::string>{"Read beyond end of file."});

  // Through the event loop, which keeps running afterwards.
  Reports().clear();
  thrower.error = [] { throw 42; };
  QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
  bool later = false;
  QTimer::singleShot(0, [&later] { later = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return later; }, 5000));
  EXPECT_EQ(Reports(), std::vector<std::string>{"Unknown error."});
}

TEST(DefaultErrorReport, HandlersHandTheirErrorsOverWithoutUnwindingThroughQt) {
  TestApp();
  Reports().clear();
  RunReported([] { throw std::runtime_error("Disk full"); });
  RunReported([] {});
  ReportError("File access denied.");
  EXPECT_EQ(Reports(), (std::vector<std::string>{"Disk full.", "File access denied."}));
}

}  // namespace
}  // namespace quorvex::testing
