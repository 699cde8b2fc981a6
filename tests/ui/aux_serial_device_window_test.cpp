// Tests of the serial device window: the list, the suggested number, assignments.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/ui/aux_window_test_support.h"
#include "ui/serial_device_window.h"

namespace quorvex {
namespace {

SerialDevice Free(const std::string& path, const std::string& stableName, int comNumber) {
  return SerialDevice{path, stableName, comNumber, DeviceAccess::kFree, "dialout", "", "", ""};
}

// A machine whose devices the test decides; records every assignment.
struct FakeMachine {
  std::vector<SerialDevice> devices;
  std::vector<std::pair<int, std::string>> assigned;
  int listed = 0;
  std::string assignError;
  std::string listError;

  SerialDeviceAccess Access() {
    return SerialDeviceAccess{[this] {
                                ++listed;
                                if (!listError.empty()) {
                                  throw std::runtime_error(listError);
                                }
                                return devices;
                              },
                              [this](int n, const std::string& target) {
                                if (!assignError.empty()) {
                                  throw std::runtime_error(assignError);
                                }
                                assigned.emplace_back(n, target);
                                for (SerialDevice& device : devices) {
                                  if (device.comNumber == n) {
                                    device.comNumber = 0;
                                  }
                                  if (device.path == target || device.stableName == target) {
                                    device.comNumber = n;
                                  }
                                }
                              },
                              {},
                              false,
                              {}};
  }
};

class SerialDeviceWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.devices = {
        Free("/dev/ttyS0", "", 1),
        Free("/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", 0),
    };
  }

  static QTreeWidget* List(SerialDeviceWindow& win) {
    return win.findChild<QTreeWidget*>("DeviceList");
  }
  static QStringList Row(SerialDeviceWindow& win, int row) {
    QTreeWidgetItem* item = List(win)->topLevelItem(row);
    return item == nullptr ? QStringList{}
                           : QStringList{item->text(0), item->text(1), item->text(2)};
  }
  static QPushButton* Assign(SerialDeviceWindow& win) {
    return win.findChild<QPushButton*>("AssignButton");
  }
  static QSpinBox* Number(SerialDeviceWindow& win) { return win.findChild<QSpinBox*>("ComNumber"); }

  // Presses Assign and returns the text of the error box it brings up, "" when none came.
  static QString AssignExpectingBox(SerialDeviceWindow& win) {
    QString text;
    testing::OnNextModal(&win, [&](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        text = box->windowTitle() + "|" + box->text();
      }
      modal->close();
    });
    Assign(win)->click();
    return text;
  }

  FakeMachine machine_;
};

TEST_F(SerialDeviceWindowTest, ShowsEachDeviceWithItsStableNameAndCurrentComPort) {
  SerialDeviceWindow win(3, nullptr, machine_.Access());
  ASSERT_EQ(List(win)->topLevelItemCount(), 2);
  EXPECT_EQ(Row(win, 0), QStringList({"/dev/ttyS0", "", "COM1"}));
  EXPECT_EQ(Row(win, 1),
            QStringList({"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", "-"}));
  EXPECT_TRUE(win.findChild<QLabel*>("EmptyLabel")->isHidden());
  EXPECT_EQ(Number(win)->value(), 3);
  EXPECT_EQ(Number(win)->minimum(), 1);
  EXPECT_EQ(Number(win)->maximum(), 255);
  // Nothing to assign until a device is picked.
  EXPECT_FALSE(Assign(win)->isEnabled());
}

TEST_F(SerialDeviceWindowTest, WithoutAValidSuggestionTheLowestUnusedNumberIsOffered) {
  machine_.devices[1].comNumber = 2;
  for (int suggested : {0, -1, 256}) {
    SerialDeviceWindow win(suggested, nullptr, machine_.Access());
    EXPECT_EQ(Number(win)->value(), 3) << suggested;
  }
}

TEST_F(SerialDeviceWindowTest, NoDevicesSaysSoAndOffersNothingToAssign) {
  machine_.devices.clear();
  SerialDeviceWindow win(1, nullptr, machine_.Access());
  win.show();
  EXPECT_EQ(List(win)->topLevelItemCount(), 0);
  EXPECT_TRUE(win.findChild<QLabel*>("EmptyLabel")->isVisible());
  EXPECT_FALSE(Assign(win)->isEnabled());
}

TEST_F(SerialDeviceWindowTest, AssignsByStableNameWhenThereIsOneAndShowsTheResult) {
  SerialDeviceWindow win(1, nullptr, machine_.Access());
  List(win)->setCurrentItem(List(win)->topLevelItem(1));
  Number(win)->setValue(4);
  Assign(win)->click();
  ASSERT_EQ(machine_.assigned.size(), 1u);
  EXPECT_EQ(machine_.assigned[0].first, 4);
  EXPECT_EQ(machine_.assigned[0].second, "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0");
  EXPECT_EQ(Row(win, 1)[2], "COM4");
  // The same device stays picked after the list was read again.
  EXPECT_EQ(List(win)->currentItem()->text(0), "/dev/ttyUSB0");

  // A device without a stable name is assigned by its path.
  List(win)->setCurrentItem(List(win)->topLevelItem(0));
  Number(win)->setValue(4);
  Assign(win)->click();
  ASSERT_EQ(machine_.assigned.size(), 2u);
  EXPECT_EQ(machine_.assigned[1], std::make_pair(4, std::string("/dev/ttyS0")));
  EXPECT_EQ(Row(win, 0)[2], "COM4");
  EXPECT_EQ(Row(win, 1)[2], "-");
}

TEST_F(SerialDeviceWindowTest, AFailedAssignmentIsShownWithItsMessage) {
  machine_.assignError = "Cannot write ~/.config/quorvex/ports/COM4: Permission denied";
  SerialDeviceWindow win(4, nullptr, machine_.Access());
  win.show();
  List(win)->setCurrentItem(List(win)->topLevelItem(1));
  const int listedBefore = machine_.listed;

  EXPECT_EQ(AssignExpectingBox(win),
            "Quorvex|Cannot write ~/.config/quorvex/ports/COM4: Permission denied.");
  EXPECT_TRUE(win.isVisible());
  EXPECT_EQ(machine_.listed, listedBefore);
  EXPECT_EQ(Row(win, 1)[2], "-");
}

TEST_F(SerialDeviceWindowTest, AListThatCannotBeReadIsReportedAndLeftEmpty) {
  machine_.listError = "Cannot read /dev.";
  QString text;
  testing::OnNextModal(nullptr, [&](QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      text = box->text();
    }
    modal->close();
  });
  SerialDeviceWindow win(1, nullptr, machine_.Access());
  EXPECT_EQ(text, "Cannot read /dev.");
  EXPECT_EQ(List(win)->topLevelItemCount(), 0);
}

TEST_F(SerialDeviceWindowTest, EachDeviceShowsItsStateAndABarredOneTheRemedy) {
  machine_.devices = {
      {"/dev/ttyACM0", "", 0, DeviceAccess::kInUse, "dialout", "", "", ""},
      {"/dev/ttyS0", "", 1, DeviceAccess::kFree, "dialout", "", "", ""},
      {"/dev/ttyUSB0", "", 0, DeviceAccess::kNotPermitted, "dialout", "", "", ""},
      {"/dev/ttyUSB1", "", 0, DeviceAccess::kNotPermitted, "uucp", "", "", ""},
      {"/dev/ttyUSB2", "", 0, DeviceAccess::kFailed, "dialout", "Input/output error", "", ""},
  };
  SerialDeviceWindow win(1, nullptr, machine_.Access());
  win.show();
  QStringList states;
  for (int row = 0; row < List(win)->topLevelItemCount(); ++row) {
    states << List(win)->topLevelItem(row)->text(3);
  }
  EXPECT_EQ(states,
            QStringList({"in use by another program", "free", "not permitted (group dialout)",
                         "not permitted (group uucp)", "cannot be opened: Input/output error"}));
  auto* hint = win.findChild<QLabel*>("PermissionHint");
  EXPECT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->text(),
            "/dev/ttyUSB0 may only be opened by members of the group dialout. Add your user to "
            "that group (sudo usermod -a -G dialout $USER), then log out and log in again.\n"
            "/dev/ttyUSB1 may only be opened by members of the group uucp. Add your user to that "
            "group (sudo usermod -a -G uucp $USER), then log out and log in again.");

  machine_.devices.resize(2);
  win.findChild<QPushButton*>("RefreshButton")->click();
  EXPECT_TRUE(hint->isHidden());
}

// Device events through a pipe: a byte written is an event, `changes` says what it meant.
class FakeDeviceEvents : public SerialDeviceEvents {
 public:
  FakeDeviceEvents(int readEnd, const bool& changes) : readEnd_(readEnd), changes_(changes) {}
  int Descriptor() const override { return readEnd_; }
  bool TakeEvents() override {
    char byte = 0;
    while (::read(readEnd_, &byte, 1) == 1) {
    }
    return changes_;
  }

 private:
  int readEnd_;
  const bool& changes_;
};

TEST_F(SerialDeviceWindowTest, DevicesPluggedInOrRemovedShowWithoutReopening) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC), 0);
  bool changes = true;
  SerialDeviceAccess access = machine_.Access();
  access.watch = [&] { return std::make_unique<FakeDeviceEvents>(pipeEnds[0], changes); };
  {
    SerialDeviceWindow win(1, nullptr, access);
    win.show();
    auto event = [&] { ASSERT_EQ(::write(pipeEnds[1], "e", 1), 1); };

    machine_.devices.push_back(Free("/dev/ttyUSB1", "", 0));
    event();
    EXPECT_TRUE(QTest::qWaitFor([&] { return List(win)->topLevelItemCount() == 3; }, 1000));

    machine_.devices.erase(machine_.devices.begin());
    event();
    EXPECT_TRUE(QTest::qWaitFor([&] { return List(win)->topLevelItemCount() == 2; }, 1000));
    EXPECT_EQ(Row(win, 0)[0], "/dev/ttyUSB0");

    // Other events of tty devices (a change of attributes) leave the list alone.
    changes = false;
    const int listed = machine_.listed;
    event();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          int pending = 0;
          return ::ioctl(pipeEnds[0], FIONREAD, &pending) == 0 && pending == 0;
        },
        1000))
        << "the event was not taken";
    EXPECT_EQ(machine_.listed, listed);
  }
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
}

}  // namespace
}  // namespace quorvex

namespace quorvex {
namespace {

// Windows' presentation, fed as on Windows: each port with its device's names and state.
TEST(SerialDeviceWindowWindowsPorts, ShowsEachPortsNamesAndStateAndOffersTheDeviceManager) {
  std::vector<SerialDevice> ports = {
      {"COM3", "FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000", 3, DeviceAccess::kFree, "", "",
       "USB Serial Port (COM3)", "FTDI", 16},
      {"COM4", "", 4, DeviceAccess::kInUse, "", "", "Prolific USB-to-Serial Comm Port (COM4)",
       "Prolific"},
      {"COM7", "", 7, DeviceAccess::kGone, "", "", "Standard Serial over Bluetooth link (COM7)",
       "Microsoft"},
  };
  std::vector<QWidget*> deviceManagerFrom;
  SerialDeviceAccess access{[&] { return ports; },
                            {},
                            {},
                            true,
                            [&](QWidget* from) { deviceManagerFrom.push_back(from); }};
  SerialDeviceWindow win(0, nullptr, access);
  win.show();
  auto* list = win.findChild<QTreeWidget*>("DeviceList");
  QStringList header;
  for (int c = 0; c < list->columnCount(); ++c) header << list->headerItem()->text(c);
  EXPECT_EQ(header,
            QStringList({"COM port", "Name", "Maker", "Stable name", "State", "Latency timer"}));
  QStringList rows;
  for (int r = 0; r < list->topLevelItemCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < list->columnCount(); ++c) cells << list->topLevelItem(r)->text(c);
    rows << cells.join('|');
  }
  EXPECT_EQ(rows, QStringList({"COM3|USB Serial Port (COM3)|FTDI|FTDIBUS\\VID_0403+PID_6001+"
                               "A50285BIA\\0000|free|16 ms",
                               "COM4|Prolific USB-to-Serial Comm Port (COM4)|Prolific||in use by "
                               "another program|",
                               "COM7|Standard Serial over Bluetooth link (COM7)|Microsoft||gone "
                               "(not attached)|"}));
  // The adapter's slow timer is named with its cost and the way to shorten it.
  auto* latency = win.findChild<QLabel*>("LatencyHint");
  EXPECT_TRUE(latency->isVisible());
  EXPECT_EQ(latency->text(),
            QString("COM3: about 8 % longer transfers at 16 ms. To save it: Device "
                    "Manager \u2192 the port \u2192 Port Settings \u2192 "
                    "Advanced \u2192 Latency Timer 1 ms."));
  // The COM number is the device's own there: nothing to assign, the way to change it told.
  EXPECT_FALSE(win.findChild<QWidget*>("AssignRow")->isVisible());
  EXPECT_TRUE(win.findChild<QLabel*>("RenumberHint")->isVisible());

  win.findChild<QPushButton*>("DeviceManagerButton")->click();
  EXPECT_EQ(deviceManagerFrom, std::vector<QWidget*>{&win});
}

}  // namespace
}  // namespace quorvex
