// Tests of the serial device window's device server ports: added, shown (also over a local
// device of the same number), kept in the settings file, removed; and the program's ports that
// follow them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/network_line.h"
#include "link/network_port.h"
#include "procedures/network_assignments.h"
#include "storage/settings.h"
#include "tests/support/temp_folder.h"
#include "ui/device_server_ports.h"
#include "ui/serial_device_window.h"

namespace quorvex {
namespace {

class DeviceServerWindowTest : public ::testing::Test {
 protected:
  DeviceServerWindowTest() { servers_.Serve(opener_); }

  // The machine has one device, reached as COM3.
  SerialDeviceAccess Access() {
    return SerialDeviceAccess{
        [] {
          return std::vector<SerialDevice>{
              {"/dev/ttyUSB0", "", 3, DeviceAccess::kFree, "dialout", "", "", ""}};
        },
        [](int, const std::string&) {},
        {},
        false,
        {}};
  }

  // Fills the add row and presses Add; the text of the box that came, "" when none.
  static QString Add(SerialDeviceWindow& win, const QString& host, int tcpPort, int protocolRow,
                     int comNumber) {
    win.findChild<QLineEdit*>("ServerHost")->setText(host);
    win.findChild<QSpinBox*>("ServerTcpPort")->setValue(tcpPort);
    win.findChild<QComboBox*>("ServerProtocol")->setCurrentIndex(protocolRow);
    win.findChild<QSpinBox*>("ServerComNumber")->setValue(comNumber);
    // Looked for only while Add runs: a box comes up inside it or never.
    QString box;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&box] {
      if (auto* message = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        box = message->text();
        message->close();
      }
    });
    poll.start(5);
    win.findChild<QPushButton*>("AddServerButton")->click();
    return box;
  }

  static QStringList Row(SerialDeviceWindow& win, int row) {
    QTreeWidgetItem* item = win.findChild<QTreeWidget*>("ServerList")->topLevelItem(row);
    QStringList texts;
    for (int column = 0; item != nullptr && column < item->columnCount(); ++column) {
      texts.append(item->text(column));
    }
    return texts;
  }

  testing::TempFolder dir_;
  std::string settings_ = dir_ / "quorvex.ini";
  DeviceServerAssignments servers_{settings_};
  QWidget opener_;  // the window the device window is opened from, as the COM port dialog
};

TEST_F(DeviceServerWindowTest, APortAddedIsShownKeptAndGoneOnceRemoved) {
  struct Case {
    const char* name;
    QString host;
    int tcpPort;
    int protocolRow;
    int comNumber;
    std::string url;
    QStringList row;
  };
  const std::vector<Case> cases = {
      {"RFC 2217 over the local device's number: the assignment wins and says so",
       "10.0.0.5",
       4001,
       0,
       3,
       "rfc2217://10.0.0.5:4001",
       {"COM3", "10.0.0.5", "4001", "RFC 2217 (COM port control)",
        "used instead of the local /dev/ttyUSB0"}},
      {"raw on a number of its own, host name with blanks around it",
       "  plant-ds1 ",
       4016,
       1,
       9,
       "tcp://plant-ds1:4016",
       {"COM9", "plant-ds1", "4016", "Raw TCP", ""}},
      {"IPv6 typed in the URL's brackets",
       "[fe80::1]",
       4002,
       0,
       12,
       "rfc2217://[fe80::1]:4002",
       {"COM12", "fe80::1", "4002", "RFC 2217 (COM port control)", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SerialDeviceWindow win(1, &opener_, Access());
    EXPECT_EQ(Add(win, c.host, c.tcpPort, c.protocolRow, c.comNumber), "");
    EXPECT_EQ(StoredDeviceServerPorts(settings_), (DeviceServerPorts{{c.comNumber, c.url}}));
    EXPECT_EQ(Row(win, 0), c.row);
    // What the next start reads.
    EXPECT_EQ(DeviceServerAssignments(settings_).Assignments(), servers_.Assignments());

    QTreeWidget* list = win.findChild<QTreeWidget*>("ServerList");
    list->setCurrentItem(list->topLevelItem(0));
    win.findChild<QPushButton*>("RemoveServerButton")->click();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(StoredDeviceServerPorts(settings_), DeviceServerPorts{});
  }
}

TEST_F(DeviceServerWindowTest, WhatIsNoHostIsRefusedWithABoxAndNothingIsKept) {
  const std::vector<std::pair<QString, QString>> cases = {
      {"", "Enter the device server's host name or IP address."},
      {"   ", "Enter the device server's host name or IP address."},
      {"plant ds1", "\"plant ds1\" is not a host name or IP address."},
      {"rfc2217://10.0.0.5", "\"rfc2217://10.0.0.5\" is not a host name or IP address."},
      {"[fe80::1", "\"[fe80::1\" is not a host name or IP address."},
  };
  SerialDeviceWindow win(1, &opener_, Access());
  for (const auto& [host, box] : cases) {
    EXPECT_EQ(Add(win, host, 4001, 0, 4), box) << host.toStdString();
  }
  EXPECT_EQ(win.findChild<QTreeWidget*>("ServerList")->topLevelItemCount(), 0);
  EXPECT_FALSE(std::filesystem::exists(settings_));
}

TEST_F(DeviceServerWindowTest, ASettingsFileThatCannotBeWrittenIsReportedAndChangesNothing) {
  std::filesystem::create_directory(settings_);  // a folder where the file belongs
  SerialDeviceWindow win(1, &opener_, Access());
  EXPECT_EQ(Add(win, "10.0.0.5", 4001, 0, 4),
            QString::fromStdString("Unable to write to " + settings_ + "."));
  EXPECT_EQ(win.findChild<QTreeWidget*>("ServerList")->topLevelItemCount(), 0);
  EXPECT_TRUE(servers_.Assignments().empty());
}

// This machine's ports as far as the tests need them: every number opens, and each open counts.
class CountingPorts : public SerialPorts {
 public:
  explicit CountingPorts(int& opens) : opens_(opens) {}
  std::unique_ptr<SerialLine> Open(int) override {
    ++opens_;
    return std::make_unique<AnyLine>();
  }

 private:
  struct AnyLine : SerialLine {
    void Configure() override {}
    void SetRts(bool) override {}
    bool WriteByte(std::uint8_t) override { return true; }
    bool ReadByte(std::uint8_t&) override { return false; }
  };
  int& opens_;
};

TEST_F(DeviceServerWindowTest, TheProgramsPortsFollowTheAssignmentsAsTheyChange) {
  int localOpens = 0;
  AssignedSerialPorts ports(std::make_unique<CountingPorts>(localOpens), servers_.Assignments());
  QObject::connect(&servers_, &DeviceServerAssignments::Changed,
                   [&] { ports.Reassign(servers_.Assignments()); });
  EXPECT_NE(ports.Open(5), nullptr);
  EXPECT_EQ(localOpens, 1);

  // Served by a port where no server listens: refused, and the local COM5 is not asked.
  const NetworkEndpoint nobody{NetworkProtocol::Raw, "127.0.0.1", 1};
  servers_.Assign(5, nobody);
  EXPECT_EQ(ports.Open(5), nullptr);
  EXPECT_FALSE(ports.Probe(5));
  EXPECT_NE(ports.Open(6), nullptr);
  EXPECT_EQ(localOpens, 2);

  servers_.Remove(5);
  EXPECT_NE(ports.Open(5), nullptr);
  EXPECT_EQ(localOpens, 3);
}

TEST(NetworkAssignmentsFromSettings, EntriesWhoseUrlDoesNotReadAreLeftOut) {
  const DeviceServerPorts stored = {{1, "rfc2217://10.0.0.5:4001"}, {2, "tcp://ds:4002"},
                                    {3, "10.0.0.5:4003"},           {4, "rfc2217://10.0.0.5"},
                                    {5, "telnet://10.0.0.5:23"},    {6, "tcp://ds:70000"}};
  EXPECT_EQ(NetworkAssignmentsFrom(stored),
            (NetworkAssignments{{1, {NetworkProtocol::Rfc2217, "10.0.0.5", 4001}},
                                {2, {NetworkProtocol::Raw, "ds", 4002}}}));
}

}  // namespace
}  // namespace quorvex
