// Tests of the COM port dialog with COM numbers assigned to device server ports: servers asked
// side by side while the dialog answers, assignments made while it is open, and closing it while
// servers are still being asked. Real servers on 127.0.0.1: answering, silent and refusing.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QTest>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "link/serial_line.h"
#include "procedures/network_probes.h"
#include "tests/cli/local_tcp_servers.h"
#include "tests/link/fake_serial.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/aux_window_test_support.h"
#include "ui/com_port_frm.h"
#include "ui/device_server_ports.h"

namespace quorvex {
namespace {

using testing::AnsweringServer;
using testing::RefusingServer;
using testing::SilentServer;

// A silent server holds its probe for the whole connect time-out (3 s). The waits below allow
// three of them: far less than the eight silent servers asked one after another would take.
constexpr int kSweepWaitMs = 9000;

NetworkEndpoint Raw(int tcpPort) {
  return {NetworkProtocol::Raw, "127.0.0.1", tcpPort};
}

class DeviceServerComPortTest : public ::testing::Test {
 protected:
  // Filling a silent server's queue takes a moment; the suite shares them.
  static void SetUpTestSuite() { silent_ = std::make_unique<SilentServer[]>(8); }
  static void TearDownTestSuite() { silent_.reset(); }
  static NetworkEndpoint Silent(int i) { return Raw(silent_[static_cast<std::size_t>(i)].Port()); }

  static QStringList Entries(ComPortFrm& frm) {
    const auto* combo = frm.findChild<QComboBox*>("ComboBox1");
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
  }
  static QString Chosen(ComPortFrm& frm) {
    const auto* combo = frm.findChild<QComboBox*>("ComboBox1");
    return combo->currentIndex() < 0 ? QString() : combo->currentText();
  }
  // Waits, with the dialog answering events, until it lists exactly `entries`.
  static bool Lists(ComPortFrm& frm, const QStringList& entries) {
    return QTest::qWaitFor([&] { return Entries(frm) == entries; }, kSweepWaitMs);
  }
  // This machine's ports: `present` are free; every number asked is noted.
  testing::FakeSerialPorts& LocalPorts(std::set<int> present) {
    local_.present = std::move(present);
    local_.onOpen = [this](int n) { asked_.insert(n); };
    return local_;
  }
  std::unique_ptr<ComPortFrm> Dialog(SerialPorts& ports) {
    auto frm = std::make_unique<ComPortFrm>(ctx_, ports);
    servers_.Serve(*frm);
    return frm;
  }

  testing::TempFolder dir_;
  DeviceServerAssignments servers_{dir_ / "quorvex.ini"};
  AppContext ctx_{.texts = EnglishTextSet()};
  AnsweringServer answering_[2];
  inline static std::unique_ptr<SilentServer[]> silent_;
  RefusingServer refusing_;
  testing::FakeClock clock_;
  testing::FakeSerialPorts local_{clock_};
  std::set<int> asked_;
};

TEST_F(DeviceServerComPortTest, AssignedServersAreAskedTogetherAndOfferedAsTheyAnswer) {
  // COM3 is also a free port of this machine: the assignment wins, as it does for transfers.
  const std::vector<std::pair<int, NetworkEndpoint>> assigned = {
      {3, Silent(0)},
      {20, Raw(answering_[0].Port())},
      {21, Silent(1)},
      {22, Silent(2)},
      {23, Silent(3)},
      {24, Silent(4)},
      {25, Silent(5)},
      {26, Silent(6)},
      {27, Silent(7)},
      {28, Raw(answering_[1].Port())},
      {29, Raw(refusing_.Port())},
  };
  for (const auto& [n, endpoint] : assigned) servers_.Assign(n, endpoint);
  SerialPorts& ports = LocalPorts({1, 3});
  ctx_.comPortNumber = 28;
  auto frm = Dialog(ports);
  frm->show();

  // Up at once with the machine's own ports; the servers' answers come after it. Their numbers
  // are not asked of the local ports.
  EXPECT_EQ(Entries(*frm), QStringList({"COM1"}));
  EXPECT_EQ(asked_.size(), 255u - assigned.size());
  for (const auto& [n, endpoint] : assigned) EXPECT_EQ(asked_.count(n), 0u) << n;

  // The answering servers behind eight silent ones, the current port chosen once it is listed.
  ASSERT_TRUE(Lists(*frm, {"COM1", "COM20", "COM28"})) << Entries(*frm).join(' ').toStdString();
  EXPECT_EQ(Chosen(*frm), "COM28");
  frm->findChild<QComboBox*>("ComboBox1")->setCurrentIndex(1);
  frm->findChild<QPushButton*>("Button1")->click();
  EXPECT_EQ(ctx_.comPortNumber, 20);
}

TEST_F(DeviceServerComPortTest, AssignmentsMadeWhileItIsOpenTakeEffectAtOnce) {
  servers_.Assign(20, Raw(answering_[0].Port()));
  SerialPorts& ports = LocalPorts({1, 3});
  ctx_.comPortNumber = 3;
  auto frm = Dialog(ports);
  frm->show();
  ASSERT_TRUE(Lists(*frm, {"COM1", "COM3", "COM20"}));

  struct Case {
    const char* name;
    std::function<void()> change;
    QStringList entries;
    QString chosen;
  };
  const std::vector<Case> cases = {
      {"a new server that answers",
       [&] { servers_.Assign(40, Raw(answering_[1].Port())); },
       {"COM1", "COM3", "COM20", "COM40"},
       "COM3"},
      {"a server removed: its number leads nowhere here",
       [&] { servers_.Remove(20); },
       {"COM1", "COM3", "COM40"},
       "COM3"},
      {"a local port given to a silent server",
       [&] { servers_.Assign(1, Silent(0)); },
       {"COM3", "COM40"},
       "COM3"},
      {"the local port back", [&] { servers_.Remove(1); }, {"COM1", "COM3", "COM40"}, "COM3"},
      {"the chosen port given to a refusing server: no choice rather than a neighbour",
       [&] { servers_.Assign(3, Raw(refusing_.Port())); },
       {"COM1", "COM40"},
       ""},
      {"a server moved to another port that answers",
       [&] { servers_.Assign(40, Silent(1)); },
       {"COM1"},
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    EXPECT_TRUE(Lists(*frm, c.entries)) << Entries(*frm).join(' ').toStdString();
    EXPECT_EQ(Chosen(*frm), c.chosen);
  }
}

#ifndef _WIN32
TEST_F(DeviceServerComPortTest, AServerAddedInTheSerialDeviceWindowIsOfferedBehindIt) {
  SerialPorts& ports = LocalPorts({1});
  auto frm = Dialog(ports);
  frm->show();
  bool offered = false;
  testing::OnNextModal(frm.get(), [&](QWidget* devices) {
    devices->findChild<QLineEdit*>("ServerHost")->setText("127.0.0.1");
    devices->findChild<QSpinBox*>("ServerTcpPort")->setValue(answering_[0].Port());
    devices->findChild<QSpinBox*>("ServerComNumber")->setValue(12);
    devices->findChild<QPushButton*>("AddServerButton")->click();
    offered = Lists(*frm, {"COM1", "COM12"});
    devices->close();
  });
  frm->findChild<QPushButton*>("Button2")->click();
  EXPECT_TRUE(offered) << Entries(*frm).join(' ').toStdString();
}
#endif

TEST_F(DeviceServerComPortTest, ClosingWhileServersAreAskedDropsTheirLateAnswers) {
  servers_.Assign(20, Raw(answering_[0].Port()));
  for (int n = 21; n <= 24; ++n) servers_.Assign(n, Silent(n - 21));
  SerialPorts& ports = LocalPorts({});
  auto frm = Dialog(ports);

  // Closed once COM20's server has been asked, then that server stops. What the first showing
  // heard must not list COM20 in the second, where only COM30's answer counts.
  frm->show();
  ASSERT_TRUE(answering_[0].SawProbe(kSweepWaitMs));
  frm->close();
  answering_[0].Stop();
  servers_.Assign(30, Raw(answering_[1].Port()));
  frm->show();
  EXPECT_TRUE(Lists(*frm, {"COM30"})) << Entries(*frm).join(' ').toStdString();
  EXPECT_EQ(Chosen(*frm), "");

  // Gone while its silent servers are still being asked: their answers reach nothing. Asking the
  // same servers again outlasts those probes.
  frm.reset();
  NetworkAssignments again;
  for (int n = 21; n <= 24; ++n) again.emplace(n, Silent(n - 21));
  const std::map<int, ProbeAnswer> answers = ProbeAll(again);
  QCoreApplication::processEvents();
  for (const auto& [n, answer] : answers) EXPECT_FALSE(answer.answers) << n;
}

}  // namespace
}  // namespace quorvex
