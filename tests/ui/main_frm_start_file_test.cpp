// A configuration file named on the command line: loaded as Load configuration... loads it once
// the window is shown, or reported as Load reports it, the window going on without it.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/quantity_catalogue.h"
#include "storage/kfg_file.h"
#include "tests/support/panel_setup.h"
#include "tests/ui/window_test_support.h"
#include "ui/qt_channel_panel.h"
#include "ui/qt_text.h"

namespace quorvex::testing {
namespace {

class StartFileTest : public WindowTest {
 protected:
  // The panel as loading the known image leaves it.
  static PanelState Loaded() {
    MemoryPanel panel;
    FillChannelLists(panel);
    ApplyConfiguration(panel, kKnownImage);
    RefreshAllChannels(panel);
    FormatAllChannels(panel);
    return Snapshot(panel);
  }
};

TEST_F(StartFileTest, AFileNamedAtStartIsLoadedOnceShownAndBecomesTheRememberedFile) {
  const QString folder = dir_.filePath(QStringLiteral("Pr\u00fcfstand"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString file = folder + QStringLiteral("/M\u00fcller.KFG");
  WriteKfgImage(FromQ(file), kKnownImage);
  const std::string fullPath = FromQ(QDir::toNativeSeparators(file));

  // Named in full, and relative to the folder the program was started in.
  for (const QString& named : {file, QStringLiteral("M\u00fcller.KFG")}) {
    SCOPED_TRACE(named.toStdString());
    TearDown();  // a window closed writes its settings: each case starts from none
    QFile::remove(dir_.filePath(QStringLiteral("quorvex.ini")));
    SetUp();
    op_.log.clear();
    const QString startedIn = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder));
    frm_->LoadWhenShown(FromQ(named));
    EXPECT_EQ(frm_->RememberedFileName(), "C:\\") << "loaded before the window was shown";
    ASSERT_TRUE(ShowActive(*frm_));
    const QString loaded = QStringLiteral("Configuration M\u00fcLLER.KFG loaded");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ToQ(op_.LastStatus()) == loaded; }, 5000))
        << op_.LastStatus();
    QDir::setCurrent(startedIn);
    EXPECT_EQ(Snapshot(frm_->Panel()), Loaded());
    EXPECT_EQ(frm_->RememberedFileName(), fullPath);
    EXPECT_TRUE(Reports().empty());
    // Kept at once, not only at exit: a crash right after the start loses nothing. The load's
    // own write comes at once; typed values would wait 2 s for quiet, which the time-out excludes.
    const auto settings = [this] {
      QFile f(dir_.filePath(QStringLiteral("quorvex.ini")));
      return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return settings().contains(QStringLiteral("Filename=") + ToQ(fullPath)); }, 1500));
  }
}

TEST_F(StartFileTest, AFileThatCannotBeReadIsReportedAsLoadReportsItAndChangesNothing) {
  const QString shortFile = dir_.filePath(QStringLiteral("short.KFG"));
  {
    QFile f(shortFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\x01\x02\x03", 3);
  }
  // The window as started without a file.
  const auto plain = std::make_unique<MainFrm>(ctx_, op_, ports_, clock_,
                                               FromQ(dir_.filePath(QStringLiteral("plain.ini"))),
                                               std::vector<std::string>{});
  ASSERT_TRUE(ShowActive(*plain));
  struct Case {
    QString path;
    const char* report;
  };
  for (const Case& c : {Case{dir_.filePath(QStringLiteral("missing.KFG")), "File not found."},
                        Case{shortFile, "Read beyond end of file."}}) {
    SCOPED_TRACE(c.report);
    TearDown();  // a window closed writes its settings: each case starts from none
    QFile::remove(dir_.filePath(QStringLiteral("quorvex.ini")));
    SetUp();
    op_.log.clear();
    frm_->LoadWhenShown(FromQ(c.path));
    ASSERT_TRUE(ShowActive(*frm_));
    ASSERT_TRUE(QTest::qWaitFor([] { return Reports().size() == 1; }, 5000)) << Reports().size();
    EXPECT_EQ(Reports().front(), c.report);
    EXPECT_EQ(Snapshot(frm_->Panel()), Snapshot(plain->Panel()));
    EXPECT_EQ(frm_->RememberedFileName(), "C:\\");
    for (const std::string& status : op_.Statuses()) {
      EXPECT_EQ(status.find("loaded"), std::string::npos) << status;
    }
    EXPECT_TRUE(frm_->isVisible());
  }
}

TEST_F(StartFileTest, RecentFilesNewestFirstAtMostSixAndOneThatNoLongerLoadsLeavesTheList) {
  std::vector<std::string> files;  // c1.KFG ... c7.KFG
  for (int i = 1; i <= 7; ++i) {
    const QString file = dir_.filePath(QStringLiteral("c%1.KFG").arg(i));
    WriteKfgImage(FromQ(file), kKnownImage);
    files.push_back(FromQ(QDir::toNativeSeparators(file)));
  }
  const auto named = [&files](std::initializer_list<int> numbers) {
    std::vector<std::string> list;
    for (int i : numbers) list.push_back(files[static_cast<std::size_t>(i - 1)]);
    return list;
  };
  const auto item = [this](const char* name) { return frm_->findChild<QAction*>(name); };
  ASSERT_TRUE(ShowActive(*frm_));
  EXPECT_EQ(item("Zuletzt1"), nullptr);

  for (const std::string& file : files) {
    op_.fileAnswers.push_back(file);
    item("Konfigurationladen1")->trigger();
  }
  EXPECT_EQ(frm_->RecentFiles(), named({7, 6, 5, 4, 3, 2}));
  EXPECT_EQ(item("Zuletzt1")->text(), QStringLiteral("&1 ") + ToQ(files[6]));
  EXPECT_EQ(item("Zuletzt7"), nullptr);

  // Chosen again, a file comes first and is loaded as Load configuration... loads it.
  item("Zuletzt4")->trigger();
  EXPECT_EQ(frm_->RecentFiles(), named({4, 7, 6, 5, 3, 2}));
  EXPECT_EQ(op_.LastStatus(), "Configuration C4.KFG loaded");
  EXPECT_EQ(frm_->RememberedFileName(), files[3]);

  // A file gone since: Load's own message, and it leaves the list.
  ASSERT_TRUE(QFile::remove(ToQ(files[5])));
  item("Zuletzt3")->trigger();
  EXPECT_EQ(Reports(), std::vector<std::string>{"File not found."});
  EXPECT_EQ(frm_->RecentFiles(), named({4, 7, 5, 3, 2}));
  EXPECT_EQ(frm_->RememberedFileName(), files[3]);

  TearDown();  // kept for the next start
  SetUp();
  EXPECT_EQ(frm_->RecentFiles(), named({4, 7, 5, 3, 2}));
}

}  // namespace
}  // namespace quorvex::testing
