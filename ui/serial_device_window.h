// The serial device window that stands in for the device manager on Linux.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_devices.h"

class QLabel;
class QLayout;
class QPushButton;
class QSocketNotifier;
class QSpinBox;
class QTreeWidget;

namespace quorvex {

// Where the window gets the device list from and where assignments go; the machine's own by
// default, a fake in tests.
struct SerialDeviceAccess {
  std::function<std::vector<SerialDevice>()> list;
  // Throws std::runtime_error with a message for the operator when it cannot.
  std::function<void(int comNumber, const std::string& target)> assign;
  // Devices coming and going while the window is open; none when empty or when it gives nothing.
  std::function<std::unique_ptr<SerialDeviceEvents>()> watch;
};

SerialDeviceAccess SystemSerialDeviceAccess();

// Linux has no device manager: this window shows the serial devices of the machine and the COM
// number each is reached through, and lets the operator give a device a COM number.
class SerialDeviceWindow : public QDialog {
  Q_OBJECT
 public:
  // suggestedComNumber preselects the COM number to assign when it is in 1..255.
  explicit SerialDeviceWindow(int suggestedComNumber, QWidget* parent = nullptr,
                              SerialDeviceAccess access = SystemSerialDeviceAccess());

 private:
  // The widgets, each row made with the members it sets.
  void LayOut();
  QLayout* AssignRow();
  QLayout* ButtonRow();
  void Refresh();
  void SelectionChanged();
  void AssignClick();
  void DeviceEventsArrived();

  SerialDeviceAccess access_;
  std::unique_ptr<SerialDeviceEvents> events_;
  QSocketNotifier* eventNotifier_ = nullptr;
  std::vector<SerialDevice> devices_;
  QTreeWidget* deviceList_ = nullptr;
  QLabel* emptyLabel_ = nullptr;
  QLabel* permissionHint_ = nullptr;
  QSpinBox* comNumber_ = nullptr;
  QPushButton* assignButton_ = nullptr;
  QPushButton* refreshButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace quorvex
