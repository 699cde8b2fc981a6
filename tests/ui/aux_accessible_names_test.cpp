// What a screen reader calls the auxiliary windows' list, log, table and number field.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTreeWidget>

#include "core/app_context.h"
#include "link/serial_line.h"
#include "ui/com_port_frm.h"
#include "ui/debug_win.h"
#include "ui/serial_device_window.h"

namespace quorvex {
namespace {

struct NoPorts : SerialPorts {
  std::unique_ptr<SerialLine> Open(int) override { return nullptr; }
};

// Where a screen reader finds the name: a list whose name Qt answers with its entry carries it
// as description.
QString Name(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  if (a == nullptr) return QStringLiteral("(none)");
  const QString description = a->text(QAccessible::Description);
  return qobject_cast<QComboBox*>(w) != nullptr && !description.isEmpty()
             ? description
             : a->text(QAccessible::Name);
}

TEST(AuxAccessibleNames, ListLogTableAndFieldAreNamedInTheLanguageOfTheirShowing) {
  AppContext ctx{.debugSwitch = true, .texts = GermanTextSet()};
  NoPorts ports;
  ComPortFrm comPort(ctx, ports);
  DebugWin debug(ctx);
  auto* list = comPort.findChild<QComboBox*>("ComboBox1");
  auto* log = debug.findChild<QPlainTextEdit*>("Memo1");
  EXPECT_EQ(Name(list), "COM-Port");
  EXPECT_EQ(Name(log), "Debug-Protokoll");
  // Made once, the dialog and the log take the language of their next showing.
  ctx.texts = EnglishTextSet();
  comPort.show();
  debug.AddDebugLine("line");
  EXPECT_EQ(Name(list), "COM port");
  EXPECT_EQ(Name(log), "Debug log");
  for (const TextSet& t : {GermanTextSet(), EnglishTextSet()}) {
    SerialDeviceWindow devices(1, nullptr,
                               {[] { return std::vector<SerialDevice>{}; }, {}, {}, false, {}}, t);
    auto* table = devices.findChild<QTreeWidget*>("DeviceList");
    EXPECT_EQ(Name(table), QString::fromStdString(t.devicesCaption));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(table)->text(QAccessible::Description),
              QString::fromStdString(t.devicesIntro));
    EXPECT_EQ(Name(devices.findChild<QSpinBox*>("ComNumber")),
              QString::fromStdString(t.assignLabel));
  }
}

}  // namespace
}  // namespace quorvex
