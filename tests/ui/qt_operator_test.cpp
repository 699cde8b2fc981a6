// The real boxes and file dialogs of the operator adapter, answered by the test as they come up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "tests/ui/paint_counter.h"
#include "tests/ui/window_test_support.h"
#include "ui/qt_operator.h"

namespace quorvex::testing {
namespace {

// Runs `ask` and answers the modal window it brings up with `answer`. A watchdog closes what is
// left open, so a window the test did not expect fails the test instead of hanging it.
template <class Window>
void Answer(const std::function<void()>& ask, const std::function<void(Window&)>& answer,
            bool* answered) {
  *answered = false;
  QTimer::singleShot(0, [&] {
    if (auto* w = qobject_cast<Window*>(QApplication::activeModalWidget())) {
      *answered = true;
      answer(*w);
    }
  });
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
  });
  watchdog.start(10000);
  ask();
}

TEST(QtOperatorTest, ShowCaptionTextAndIconWithOnlyOkAndNoOwner) {
  TestApp();
  QtOperator op;
  struct Case {
    BoxIcon icon;
    QMessageBox::Icon shown;
  };
  for (const Case c :
       {Case{BoxIcon::None, QMessageBox::NoIcon}, Case{BoxIcon::Error, QMessageBox::Critical}}) {
    bool answered = false;
    Answer<QMessageBox>(
        [&] { op.MessageBox("Transmission", "Connect analog box to PC via COM3", c.icon); },
        [&](QMessageBox& box) {
          EXPECT_EQ(box.windowTitle(), "Transmission");
          EXPECT_EQ(box.text(), "Connect analog box to PC via COM3");
          EXPECT_EQ(box.icon(), c.shown);
          EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
          EXPECT_EQ(box.parentWidget(), nullptr);
          box.accept();
        },
        &answered);
    EXPECT_TRUE(answered);
  }
}

// A transfer blocks the event loop right after its connect prompt; the main window must not
// keep the picture of the closed box until the transfer ends.
TEST(QtOperatorTest, WindowsUnderABoxArePaintedBeforeItsCallerGoesOn) {
  TestApp();
  QWidget window;
  window.resize(300, 200);
  ASSERT_TRUE(ShowActive(window));
  const PaintCounter counter(window);

  QtOperator op;
  int paintsWhileUp = -1;
  bool answered = false;
  Answer<QMessageBox>(
      [&] { op.MessageBox("Transmission", "Connect analog box to PC via COM1", BoxIcon::None); },
      [&](QMessageBox& box) {
        paintsWhileUp = counter.Paints();
        box.accept();
      },
      &answered);
  ASSERT_TRUE(answered);
  EXPECT_GT(counter.Paints(), paintsWhileUp);
}

TEST(QtOperatorTest, AppendTheExtensionAndStartEachDialogWhereItWasLeft) {
  TestApp();
  QTemporaryDir saveDir;
  QTemporaryDir openDir;
  ASSERT_TRUE(saveDir.isValid() && openDir.isValid());
  QtOperator op;
  const FileDialogRequest save{"Store configuration", "Configuration (*.KFG)|*.KFG", "KFG",
                               QDir::toNativeSeparators(saveDir.path()).toStdString(), ""};
  // Nothing asked for: the dialog starts where it was left itself.
  const FileDialogRequest saveAgain{"Store configuration", "Configuration (*.KFG)|*.KFG", "KFG", "",
                                    ""};
  const FileDialogRequest open{"Load configuration", "Configuration (*.KFG)|*.KFG", "KFG", "", ""};

  bool answered = false;
  std::optional<std::string> chosen;
  Answer<QFileDialog>([&] { chosen = op.AskSaveFileName(save); },
                      [&](QFileDialog& dialog) {
                        EXPECT_EQ(dialog.windowTitle(), "Store configuration");
                        EXPECT_EQ(dialog.nameFilters(), QStringList{"Configuration (*.KFG)"});
                        EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
                        dialog.selectFile("boiler1");
                        static_cast<QDialog&>(dialog).accept();  // the dialog's own checks run
                      },
                      &answered);
  ASSERT_TRUE(answered);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, QDir::toNativeSeparators(saveDir.filePath("boiler1.KFG")).toStdString());

  // The open dialog's first use, where the platform chooses. It takes a name that does not
  // exist (the load reports that itself).
  Answer<QFileDialog>([&] { chosen = op.AskOpenFileName(open); },
                      [&](QFileDialog& dialog) {
                        dialog.selectFile(openDir.filePath("missing.KFG"));
                        static_cast<QDialog&>(dialog).accept();
                      },
                      &answered);
  ASSERT_TRUE(answered);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, QDir::toNativeSeparators(openDir.filePath("missing.KFG")).toStdString());

  Answer<QFileDialog>([&] { chosen = op.AskSaveFileName(saveAgain); },
                      [&](QFileDialog& dialog) {
                        EXPECT_EQ(QDir(dialog.directory()), QDir(saveDir.path()));
                        dialog.reject();
                      },
                      &answered);
  EXPECT_TRUE(answered);
  EXPECT_FALSE(chosen.has_value());
  Answer<QFileDialog>([&] { chosen = op.AskOpenFileName(open); },
                      [&](QFileDialog& dialog) {
                        EXPECT_EQ(QDir(dialog.directory()), QDir(openDir.path()));
                        dialog.reject();
                      },
                      &answered);
  EXPECT_TRUE(answered);
  EXPECT_FALSE(chosen.has_value());
}

TEST(QtOperatorTest, WaitCursorsAreCountedAndNoneOutlivesTheOperator) {
  TestApp();
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  // A cursor that is not the operator's own; it must survive everything below.
  QApplication::setOverrideCursor(Qt::CrossCursor);
  {
    QtOperator op;
    op.SetWaitCursor(true);
    op.SetWaitCursor(true);
    op.SetWaitCursor(false);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    op.SetWaitCursor(false);
    op.SetWaitCursor(false);  // one more off than on
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    // Left on when the operator goes away.
    op.SetWaitCursor(true);
    op.SetWaitCursor(true);
  }
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
  QApplication::restoreOverrideCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace quorvex::testing
