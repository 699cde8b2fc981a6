// The serial device window: on Linux it stands in for the device manager; on Windows it shows
// the COM ports with the names the device manager knows them by.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/text_set.h"
#include "link/serial_devices.h"

class QLabel;
class QLayout;
class QWidget;
class QPushButton;
class QSocketNotifier;
class QSpinBox;
class QTreeWidget;

namespace quorvex {

class DeviceServerPanel;
class SerialDeviceNotification;

// Where the window gets the device list from and where assignments go; the machine's own by
// default, a fake in tests.
struct SerialDeviceAccess {
  std::function<std::vector<SerialDevice>()> list;
  // Throws std::runtime_error with a message for the operator when it cannot.
  std::function<void(int comNumber, const std::string& target)> assign;
  // Devices coming and going while the window is open; none when empty or when it gives nothing.
  std::function<std::unique_ptr<SerialDeviceEvents>()> watch;
  // Windows gives every device its COM number itself: nothing to assign, and the ports are
  // shown by their names, with the device manager one button away.
  bool systemNamesPorts = false;
  // Opens the device manager, `from` the window that asks; no button when empty.
  std::function<void(QWidget* from)> deviceManager;
};

SerialDeviceAccess SystemSerialDeviceAccess();

#ifdef _WIN32
// Starts the Windows device manager, owned by the program's main window; says so in a box
// over `dialog` when Windows cannot start it.
void OpenDeviceManager(QWidget* dialog);
#endif

// Linux has no device manager: this window shows the serial devices of the machine and the COM
// number each is reached through, and lets the operator give a device a COM number. On Windows
// it shows each COM port with its device's name, maker, stable name and state.
class SerialDeviceWindow : public QDialog {
  Q_OBJECT
 public:
  // suggestedComNumber preselects the COM number to assign when it is in 1..255. The window
  // speaks the language of `texts`.
  explicit SerialDeviceWindow(int suggestedComNumber, QWidget* parent = nullptr,
                              SerialDeviceAccess access = SystemSerialDeviceAccess(),
                              const TextSet& texts = EnglishTextSet());
  ~SerialDeviceWindow() override;

 protected:
  // Windows: the notification for COM port devices lives while the window is shown.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  // The widgets, each row made with the members it sets.
  void LayOut();
  QWidget* AssignRow();
  QLayout* ButtonRow();
  void Refresh();
  void SelectionChanged();
  void AssignClick();
  void DeviceEventsArrived();
  // Several messages come for one device; the list is read once after them.
  void RefreshSoon();

  SerialDeviceAccess access_;
  const TextSet texts_;
#ifdef _WIN32
  std::unique_ptr<SerialDeviceNotification> notification_;
#endif
  bool refreshPending_ = false;
  std::unique_ptr<SerialDeviceEvents> events_;
  QSocketNotifier* eventNotifier_ = nullptr;
  std::vector<SerialDevice> devices_;
  QTreeWidget* deviceList_ = nullptr;
  QLabel* emptyLabel_ = nullptr;
  QLabel* permissionHint_ = nullptr;
  QLabel* latencyHint_ = nullptr;
  QSpinBox* comNumber_ = nullptr;
  QPushButton* assignButton_ = nullptr;
  QPushButton* refreshButton_ = nullptr;
  QPushButton* deviceManagerButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  DeviceServerPanel* serverPanel_ = nullptr;  // when the window that opens this has assignments
};

}  // namespace quorvex
