// The settings written while the program runs: the timer, the write, the skipped write of an
// unchanged state, a failure in the debug log, and the window's typing reaching the file.
#include "ui/settings_autosave.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "storage/settings.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_operator.h"
#include "tests/ui/window_test_support.h"

namespace quorvex::testing {
namespace {

using std::chrono::milliseconds;

QByteArray FileContent(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SettingsAutosaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    ASSERT_TRUE(dir_.isValid());
    Make(dir_.filePath("quorvex.ini"));
  }
  void Make(const QString& path) {
    path_ = path;
    autosave_ = std::make_unique<SettingsAutosave>(
        path.toStdString(), panel_, ctx_, [this] { return window_; }, op_, clock_);
    autosave_->Start();
  }
  bool Logged(const std::string& line) const {
    return std::find(op_.log.begin(), op_.log.end(), line) != op_.log.end();
  }

  MemoryPanel panel_;
  AppContext ctx_;
  FakeOperator op_;
  FakeClock clock_;
  WindowState window_{600, 400, "C:\\", 2, {}};
  QTemporaryDir dir_;
  QString path_;
  std::unique_ptr<SettingsAutosave> autosave_;
};

TEST_F(SettingsAutosaveTest, TypingIsWrittenOnceTheChannelsAreQuiet) {
  panel_.SetText("Edit1", "7.5");
  autosave_->Changed();
  clock_.Advance(milliseconds(2000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !autosave_->Pending(); }, 5000));
  EXPECT_EQ(autosave_->Writes(), 1);
  // The whole file, as the exit writes it.
  const QByteArray written = FileContent(path_);
  EXPECT_TRUE(written.contains("[Offset]\r\n1=7.5") || written.contains("[Offset]\n1=7.5"))
      << written.toStdString();
  EXPECT_TRUE(written.contains("Sprache=2"));
  EXPECT_EQ(written.count('='), 45);
}

TEST_F(SettingsAutosaveTest, ACommandThatChangedNothingWritesNothing) {
  autosave_->CommandCompleted();  // a cancelled dialog, a port chosen again
  ASSERT_TRUE(QTest::qWaitFor([&] { return !autosave_->Pending(); }, 5000));
  EXPECT_EQ(autosave_->Writes(), 0);
  EXPECT_FALSE(QFile::exists(path_));

  clock_.Advance(milliseconds(1000));
  ctx_.comPortNumber = 5;
  autosave_->CommandCompleted();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !autosave_->Pending(); }, 5000));
  EXPECT_EQ(autosave_->Writes(), 1);
  EXPECT_TRUE(FileContent(path_).contains("COM=5"));
}

TEST_F(SettingsAutosaveTest, AFailureGoesToTheDebugLogAndTheNextCommandTriesAgain) {
  const QString folder = dir_.filePath("later");
  Make(folder + "/quorvex.ini");
  ctx_.comPortNumber = 3;
  autosave_->CommandCompleted();
  const std::string line = "debug:Settings not saved: Unable to write to " + path_.toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Logged(line); }, 5000));
  EXPECT_TRUE(op_.Boxes().empty());
  EXPECT_TRUE(autosave_->Pending());

  ASSERT_TRUE(QDir().mkpath(folder));
  clock_.Advance(milliseconds(1000));
  autosave_->CommandCompleted();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path_); }, 5000));
  EXPECT_EQ(autosave_->Writes(), 1);
}

TEST_F(SettingsAutosaveTest, NothingIsWrittenWhileATransferRunsOrAfterTheExitTookOver) {
  {
    const SettingsAutosave::Transfer transfer(*autosave_);
    panel_.SetText("Edit2", "1.0");
    autosave_->CommandCompleted();
    clock_.Advance(milliseconds(5000));
    // A write would be due at once; a timer armed for it would run here.
    QCoreApplication::processEvents();
    EXPECT_FALSE(QFile::exists(path_));
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path_); }, 5000));

  autosave_->Stop();
  panel_.SetText("Edit2", "2.0");
  autosave_->CommandCompleted();
  QCoreApplication::processEvents();
  EXPECT_EQ(autosave_->Writes(), 1);
}

// The window's own hooks: keys typed into a field reach the file without a close.
TEST_F(WindowTest, TypedValuesReachTheSettingsFileWhileTheWindowIsOpen) {
  ASSERT_TRUE(ShowActive(*frm_));
  auto* field = frm_->findChild<QLineEdit*>(QStringLiteral("BereichEdit4"));
  ASSERT_NE(field, nullptr);
  field->setFocus();
  field->selectAll();
  QTest::keyClicks(field, "12.5");
  clock_.Advance(milliseconds(2000));
  const QString settings = dir_.filePath("quorvex.ini");
  ASSERT_TRUE(QTest::qWaitFor([&] { return FileContent(settings).contains("4=12.5"); }, 5000));
}

}  // namespace
}  // namespace quorvex::testing
