// The serial device window on Windows: a device plugged in or removed is read at the message
// Windows sends, not by polling. The message is handed in as Windows hands it to the window.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The device broadcast types need the types windows.h defines.
#include <dbt.h>

#include <QTest>
#include <QTreeWidget>
#include <vector>

#include "ui/serial_device_window.h"

namespace quorvex {
namespace {

class MessagedWindow : public SerialDeviceWindow {
 public:
  using SerialDeviceWindow::nativeEvent;
  using SerialDeviceWindow::SerialDeviceWindow;
};

TEST(SerialDeviceWindowWin32, APortPluggedInOrRemovedIsReadAgainAtItsMessageOnly) {
  std::vector<SerialDevice> ports = {
      {"COM3", "", 3, DeviceAccess::kFree, "", "", "USB Serial Port (COM3)", "FTDI"}};
  int listed = 0;
  SerialDeviceAccess access{[&] {
                              ++listed;
                              return ports;
                            },
                            {},
                            {},
                            true,
                            {}};
  MessagedWindow win(0, nullptr, access);
  win.show();
  auto* list = win.findChild<QTreeWidget*>("DeviceList");
  ASSERT_EQ(list->topLevelItemCount(), 1);

  auto send = [&](WPARAM what, DWORD type) {
    DEV_BROADCAST_HDR header{};
    header.dbch_size = sizeof header;
    header.dbch_devicetype = type;
    MSG msg{};
    msg.message = WM_DEVICECHANGE;
    msg.wParam = what;
    msg.lParam = reinterpret_cast<LPARAM>(&header);
    qintptr result = 0;
    win.nativeEvent("windows_generic_MSG", &msg, &result);
    // The list is read after the message is answered; whatever is pending runs here.
    QTest::qWait(0);
  };

  ports.push_back({"COM4", "", 4, DeviceAccess::kFree, "", "", "Prolific", "Prolific"});
  const int before = listed;
  send(DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE);
  EXPECT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(listed, before + 1);

  ports.erase(ports.begin());
  send(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT);
  EXPECT_EQ(list->topLevelItemCount(), 1);

  // A volume, or a change that is no arrival or removal, leaves the list alone.
  const int quiet = listed;
  send(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
  send(DBT_DEVNODES_CHANGED, DBT_DEVTYP_PORT);
  EXPECT_EQ(listed, quiet);
}

}  // namespace
}  // namespace quorvex
