// Start-up from the settings file, the first showing, the end of the program, and what the
// window does while a transfer holds the port.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_operator.h"
#include "tests/ui/window_test_support.h"
#include "ui/com_port_frm.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/qt_operator.h"

namespace quorvex::testing {
namespace {

using Ini = std::map<std::string, std::map<std::string, std::string>>;

// The settings file as sections of keys, plus the number of key lines in it.
Ini ReadIni(const QString& path, int* keyCount) {
  Ini ini;
  *keyCount = 0;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return ini;
  std::string section;
  while (!file.atEnd()) {
    const std::string line = file.readLine().trimmed().toStdString();
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const auto eq = line.find('='); eq != std::string::npos) {
      ini[section][line.substr(0, eq)] = line.substr(eq + 1);
      ++*keyCount;
    }
  }
  return ini;
}

void WriteFile(const QString& path, const char* text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    Reports().clear();
    ASSERT_TRUE(dir_.isValid());
    settings_ = dir_.filePath("quorvex.ini");
  }

  std::unique_ptr<MainFrm> Make(std::vector<std::string> arguments = {}) {
    return std::make_unique<MainFrm>(ctx_, op_, ports_, clock_, settings_.toStdString(),
                                     std::move(arguments));
  }

  AppContext ctx_;
  FakeOperator op_;
  CardPorts ports_;
  FakeClock clock_;
  QTemporaryDir dir_;
  QString settings_;
};

TEST_F(LifecycleTest, FirstRunStartsFromDefaultsAndQuitWritesEveryKey) {
  auto frm = Make();
  ChannelPanel& panel = frm->Panel();
  EXPECT_EQ(ctx_.comPortNumber, -1);
  EXPECT_EQ(frm->RememberedFileName(), "C:\\");
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(panel.Text(ComponentName("ComboBox", n)), "CO");
    EXPECT_EQ(panel.Items(ComponentName("ComboBox", n)).size(), 15u);
    EXPECT_EQ(panel.Text(ComponentName("EinheitBox", n)), "mA");
    EXPECT_EQ(panel.Text(ComponentName("MessEdit", n)), "0");
  }
  ASSERT_TRUE(ShowActive(*frm));
  EXPECT_EQ(frm->frameGeometry().size(), QSize(598, 410));
  EXPECT_EQ(panel.Text("Edit7"), "0.0");

  frm->findChild<QAction*>("Beenden1")->trigger();
  EXPECT_FALSE(frm->isVisible());
  int keys = 0;
  Ini ini = ReadIni(settings_, &keys);
  EXPECT_EQ(keys, 45);
  EXPECT_EQ(ini["Main"]["Sprache"], "2");
  EXPECT_EQ(ini["Main"]["COM"], "-1");
  EXPECT_EQ(ini["Main"]["Width"], "598");
  EXPECT_EQ(ini["Main"]["Height"], "410");
  EXPECT_EQ(ini["Main"]["Filename"], "C:\\");
  EXPECT_EQ(ini["ComboBox"]["8"], "1");
  EXPECT_EQ(ini["EinheitBox"]["1"], "1");
  EXPECT_EQ(ini["Offset"]["3"], "0.0");
  EXPECT_EQ(ini["Mess"]["8"], "0");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(LifecycleTest, StoredStateIsTakenAsItStandsAndShownInItsFormats) {
  WriteFile(settings_,
            "[Main]\nCOM=0x5\nWidth=400\nHeight=0\nFilename=/data/boiler.KFG\nSprache=7\n"
            "[ComboBox]\n3=20\n4=0\n5=3\n[EinheitBox]\n2=0\n6=9\n"
            "[Offset]\n1=abc\n2=2.55\n[Mess]\n4=6500\n5=2\n");
  auto frm = Make();
  ChannelPanel& panel = frm->Panel();
  EXPECT_EQ(ctx_.comPortNumber, 5);
  EXPECT_EQ(frm->RememberedFileName(), "/data/boiler.KFG");
  EXPECT_EQ(panel.ItemIndex("ComboBox3"), -1);
  EXPECT_EQ(panel.ItemIndex("EinheitBox6"), -1);
  EXPECT_EQ(panel.Text("EinheitBox2"), "V");
  EXPECT_EQ(panel.Text("Edit1"), "abc");  // nothing checked or formatted yet

  ASSERT_TRUE(ShowActive(*frm));
  // Below the minimum width, the minimum; no height stored, the design height.
  EXPECT_EQ(frm->frameGeometry().size(), QSize(530, 410));
  EXPECT_EQ(panel.Text("ELabel3"), "?");
  EXPECT_EQ(panel.Text("MessEdit3"), "");
  EXPECT_EQ(panel.Text("ComboBox4"), "O2");
  EXPECT_EQ(panel.Text("ELabel4"), "%");
  EXPECT_EQ(panel.Text("MessEdit4"), "6500.0");
  EXPECT_EQ(panel.Text("ComboBox5"), "Lambda");
  EXPECT_EQ(panel.Text("ELabel5"), "");
  EXPECT_EQ(panel.Text("MessEdit5"), "2.00");
  EXPECT_EQ(panel.Text("Edit2"), "2.5");
  EXPECT_TRUE(op_.Boxes().empty());
  EXPECT_TRUE(Reports().empty());

  frm->close();
  int keys = 0;
  Ini ini = ReadIni(settings_, &keys);
  EXPECT_EQ(ini["Main"]["Sprache"], "2");
  EXPECT_EQ(ini["Main"]["COM"], "5");
  EXPECT_EQ(ini["Main"]["Width"], "530");
  EXPECT_EQ(ini["ComboBox"]["3"], "-1");
  EXPECT_EQ(ini["EinheitBox"]["6"], "-1");
  EXPECT_EQ(ini["Mess"]["3"], "");
  EXPECT_EQ(ini["Offset"]["1"], "0.0");
}

TEST_F(LifecycleTest, AStoredNumberTooLargeToShowEndsTheShowingAtItsChannelAndIsReportedOnce) {
  WriteFile(settings_, "[Offset]\n1=1e999\n[ComboBox]\n2=0\n[Mess]\n2=7\n");
  auto frm = Make();
  ASSERT_TRUE(ShowActive(*frm));
  // Reported by the time the showing is over, as an error ends any handler.
  EXPECT_EQ(Reports(), std::vector<std::string>{"Floating point overflow."});
  ChannelPanel& panel = frm->Panel();
  EXPECT_EQ(panel.Text("Edit1"), "1e999");
  EXPECT_EQ(panel.Text("ELabel1"), "ppm");  // the unit label comes before the values
  // The channels after the failing one are left as the settings file had them.
  EXPECT_EQ(panel.Text("MessEdit2"), "7");
  EXPECT_EQ(panel.Text("ELabel2"), "");
  EXPECT_EQ(panel.Text("ELabel8"), "");
  EXPECT_EQ(frm->windowTitle(), "Analog card 1.4 ");
  QCoreApplication::processEvents();
  EXPECT_EQ(Reports().size(), 1u);
}

TEST_F(LifecycleTest, SettingsThatCannotBeWrittenAreReportedAndTheWindowStillCloses) {
  settings_ = dir_.filePath("missing/folder/quorvex.ini");
  auto frm = Make();
  ASSERT_TRUE(ShowActive(*frm));
  frm->close();
  EXPECT_FALSE(frm->isVisible());
  EXPECT_EQ(Reports(),
            std::vector<std::string>{"Unable to write to " + settings_.toStdString() + "."});
  frm.reset();  // no second attempt on the way out
  EXPECT_EQ(Reports().size(), 1u);
}

TEST_F(LifecycleTest, OnlyAFirstArgumentDebugSetsTheDebugSwitch) {
  ctx_.debugSwitch = true;
  EXPECT_FALSE((Make({}), ctx_.debugSwitch));
  EXPECT_TRUE((Make({"debug"}), ctx_.debugSwitch));
  EXPECT_TRUE((Make({"DeBuG", "x"}), ctx_.debugSwitch));
  EXPECT_FALSE((Make({"x", "DEBUG"}), ctx_.debugSwitch));
}

// The read lets the window handle its events before each channel. Quit and the File commands
// must not run then; a close waits for the end of the transfer; another transfer finds the port
// held.
TEST_F(LifecycleTest, WhileATransferRunsTheWindowStaysAndFileCommandsWait) {
  auto frm = Make();
  ctx_.comPortNumber = 1;  // as if chosen in the COM port dialog
  ASSERT_TRUE(ShowActive(*frm));
  auto* load = frm->findChild<QAction*>("Konfigurationladen1");
  auto* save = frm->findChild<QAction*>("Konfigurationspeichern1");
  auto* quit = frm->findChild<QAction*>("Beenden1");

  int duringTransfer = 0;
  op_.onEvents = [&] {
    if (duringTransfer++ > 0) return;
    EXPECT_TRUE(frm->TransferRunning());
    EXPECT_FALSE(load->isEnabled());
    EXPECT_FALSE(save->isEnabled());
    EXPECT_FALSE(quit->isEnabled());
    load->trigger();
    frm->close();
    EXPECT_TRUE(frm->isVisible());
    op_.log.push_back("-- second command --");
    frm->findChild<QAction*>("Senden")->trigger();
  };
  frm->findChild<QAction*>("Empfangen")->trigger();

  EXPECT_EQ(duringTransfer, 8);  // once before each channel
  const auto& log = op_.log;
  const auto second = std::find(log.begin(), log.end(), "-- second command --");
  ASSERT_NE(second, log.end());
  ASSERT_GE(log.end() - second, 3);
  EXPECT_EQ(std::vector<std::string>(second + 1, second + 3),
            (std::vector<std::string>{"status:Send configuration......",
                                      "box:Quorvex|Port COM1 not available.|none"}));
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& l) { return l.starts_with("open:"); }),
            0);
  EXPECT_EQ(log.back(), "box:Transmission|Now release the connection between device and PC|none");

  ASSERT_TRUE(QTest::qWaitFor([&] { return !frm->isVisible(); }, 5000));
  EXPECT_FALSE(frm->TransferRunning());
  EXPECT_TRUE(load->isEnabled() && save->isEnabled() && quit->isEnabled());
  int keys = 0;
  EXPECT_EQ(ReadIni(settings_, &keys)["Main"]["Sprache"], "2");
  EXPECT_EQ(ports_.opens, 2);  // the availability test and the transfer; the second found it held
  EXPECT_TRUE(Reports().empty());
}

TEST_F(LifecycleTest, WithoutATransferAClosingWindowGoesAtOnce) {
  auto frm = Make();
  ASSERT_TRUE(ShowActive(*frm));
  frm->close();
  EXPECT_FALSE(frm->isVisible());
  EXPECT_TRUE(QFile::exists(settings_));
}

TEST_F(LifecycleTest, ComPortItemWaitsForTheDialogWhichKeepsTheChoiceItself) {
  auto frm = Make();
  ASSERT_TRUE(ShowActive(*frm));
  ComPortFrm dialog(ctx_, ports_);
  frm->SetComPortFrm([&dialog]() -> ComPortFrm& { return dialog; });
  ctx_.comPortNumber = 1;

  bool wasModal = false;
  QTimer::singleShot(0, &dialog, [&] {
    wasModal = QApplication::activeModalWidget() == &dialog;
    ctx_.comPortNumber = 7;  // OK must put the selected COM1 back
    if (auto* ok = dialog.findChild<QPushButton*>("Button1")) ok->click();
  });
  QTimer watchdog;  // a dialog left open must fail the test, not hang it
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, &dialog, &QDialog::reject);
  watchdog.start(10000);
  frm->findChild<QAction*>("COMPort1")->trigger();

  EXPECT_TRUE(wasModal);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(ctx_.comPortNumber, 1);
}

TEST(QtOperatorTest, StatusTextsReachThePanelAndTheFirstShowingClearsThem) {
  TestApp();
  QTemporaryDir dir;
  AppContext ctx;
  QtOperator op;
  CardPorts ports;
  FakeClock clock;
  MainFrm frm(ctx, op, ports, clock, dir.filePath("q.ini").toStdString(), {});
  op.SetStatusPanel(frm.StatusPanel());
  op.ShowStatus("Send configuration......");
  EXPECT_EQ(frm.StatusPanel()->text(), "Send configuration......");
  ASSERT_TRUE(ShowActive(frm));
  EXPECT_EQ(frm.StatusPanel()->text(), "");
  op.ShowStatus("Configuration BOILER1.KFG loaded");
  EXPECT_EQ(frm.StatusPanel()->text(), "Configuration BOILER1.KFG loaded");
}

TEST(QtOperatorTest, FileDialogFiltersTakeQtsForm) {
  EXPECT_EQ(QtNameFilters("Configuration (*.KFG)|*.KFG"), QStringList{"Configuration (*.KFG)"});
  EXPECT_EQ(QtNameFilters("Konfiguration|*.KFG"), QStringList{"Konfiguration (*.KFG)"});
  EXPECT_EQ(QtNameFilters("Logs|*.txt;*.log|All (*.*)|*.*"),
            (QStringList{"Logs (*.txt *.log)", "All (*.*)"}));
  EXPECT_TRUE(QtNameFilters("").isEmpty());
}

}  // namespace
}  // namespace quorvex::testing
