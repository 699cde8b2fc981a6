// What a screen reader calls the lists, the log and the table of the auxiliary windows, in the
// language the window was opened in.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <memory>
#include <vector>

#include "core/app_context.h"
#include "link/serial_line.h"
#include "ui/com_port_frm.h"
#include "ui/debug_win.h"
#include "ui/serial_device_window.h"

namespace quorvex {
namespace {

class NoPorts : public SerialPorts {
 public:
  std::unique_ptr<SerialLine> Open(int) override { return nullptr; }
};

// The name where a screen reader finds it: Qt answers a list's name with its current entry on
// some platforms, and the list then carries its name as description.
QString ReachableName(QWidget* w) {
  QAccessibleInterface* a = w != nullptr ? QAccessible::queryAccessibleInterface(w) : nullptr;
  if (a == nullptr) return QStringLiteral("(no interface)");
  if (qobject_cast<QComboBox*>(w) != nullptr && !a->text(QAccessible::Description).isEmpty()) {
    return a->text(QAccessible::Description);
  }
  return a->text(QAccessible::Name);
}

TEST(AuxAccessibleNames, ListsLogAndTableAreNamedInTheWindowsLanguage) {
  struct Case {
    bool german;
    const char* port;
    const char* log;
    const char* devices;
    const char* assign;
  };
  for (const Case c :
       {Case{false, "COM port", "Debug log", "Serial devices", "Assign the selected device to"},
        Case{true, "COM-Port", "Debug-Protokoll", "Serielle Ger\u00e4te",
             "Gew\u00e4hltes Ger\u00e4t zuordnen zu"}}) {
    SCOPED_TRACE(c.german ? "de" : "en");
    AppContext ctx{.texts = c.german ? GermanTextSet() : EnglishTextSet()};
    NoPorts ports;
    ComPortFrm comPort(ctx, ports);
    EXPECT_EQ(ReachableName(comPort.findChild<QComboBox*>("ComboBox1")), c.port);
    DebugWin debug(ctx);
    EXPECT_EQ(ReachableName(debug.findChild<QPlainTextEdit*>("Memo1")), c.log);
    SerialDeviceWindow devices(
        1, nullptr,
        SerialDeviceAccess{[] { return std::vector<SerialDevice>{}; }, {}, {}, false, {}},
        ctx.texts);
    auto* table = devices.findChild<QTreeWidget*>("DeviceList");
    EXPECT_EQ(ReachableName(table), c.devices);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(table)->text(QAccessible::Description),
              QString::fromStdString(ctx.texts.devicesIntro));
    EXPECT_EQ(ReachableName(devices.findChild<QSpinBox*>("ComNumber")), c.assign);
  }
}

TEST(AuxAccessibleNames, TheComPortListAndTheLogTakeTheLanguageOfTheirNextShowing) {
  AppContext ctx{.texts = GermanTextSet()};
  ctx.debugSwitch = true;
  NoPorts ports;
  ComPortFrm comPort(ctx, ports);
  DebugWin debug(ctx);
  ctx.texts = EnglishTextSet();
  comPort.show();
  debug.AddDebugLine("line");
  EXPECT_EQ(ReachableName(comPort.findChild<QComboBox*>("ComboBox1")), "COM port");
  EXPECT_EQ(ReachableName(debug.findChild<QPlainTextEdit*>("Memo1")), "Debug log");
  comPort.hide();
  debug.hide();
}

}  // namespace
}  // namespace quorvex
