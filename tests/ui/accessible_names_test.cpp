// What a screen reader is told about the main window: the grid's controls, the status text.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QStatusBar>

#include "core/channel_panel.h"
#include "tests/ui/window_test_support.h"
#include "ui/qt_operator.h"

namespace quorvex::testing {
namespace {

QString Reported(QObject* o, QAccessible::Text t) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
  return a != nullptr ? a->text(t) : QStringLiteral("(none)");
}

TEST_F(WindowTest, EveryGridControlIsNamedByChannelAndColumnInTheWindowsLanguage) {
  const char* const columns[][3] = {{"ComboBox", "Measurement value", "Messwert"},
                                    {"EinheitBox", "Format", "Gr\u00f6\u00dfe"},
                                    {"Edit", "Offset", "Offset"},
                                    {"BereichEdit", "Range", "Bereich"},
                                    {"MessEdit", "Measurement range", "Messbereich"}};
  const auto get = [this](const char* stem, int n) {
    return frm_->findChild<QWidget*>(QString::fromStdString(ComponentName(stem, n)));
  };
  ASSERT_TRUE(ShowActive(*frm_));
  // Row 3 measures O2 in %, row 5 Lambda without a unit, the others CO in ppm.
  qobject_cast<QComboBox*>(get("ComboBox", 3))->setCurrentIndex(0);
  qobject_cast<QComboBox*>(get("ComboBox", 5))->setCurrentIndex(3);
  for (const int language : {1, 2}) {  // each switch renames all 40
    frm_->findChild<QAction*>(language == 1 ? "Deutsch1" : "Englisch1")->trigger();
    for (const auto& c : columns) {
      for (int n = 1; n <= 8; ++n) {
        QWidget* w = get(c[0], n);
        const QString name = QStringLiteral("%1 %2 %3")
                                 .arg(language == 1 ? "Kanal" : "Channel", QString::number(n),
                                      c[language == 1 ? 2 : 1]);
        const QString unit = QString(c[0]) != "MessEdit" ? "" : n == 3 ? "%" : n == 5 ? "" : "ppm";
        SCOPED_TRACE(name.toStdString());
        auto* list = qobject_cast<QComboBox*>(w);
        // Where Qt answers a list's name with its entry, the description carries the name.
        if (list != nullptr && Reported(w, QAccessible::Name) != name) {
          EXPECT_EQ(Reported(w, QAccessible::Name), list->currentText());
          EXPECT_EQ(Reported(w, QAccessible::Description), name);
        } else {
          EXPECT_EQ(Reported(w, QAccessible::Name), name);
          EXPECT_EQ(Reported(w, QAccessible::Description), unit);
        }
      }
    }
  }
  // The unit follows a later change of the quantity too.
  qobject_cast<QComboBox*>(get("ComboBox", 3))->setCurrentIndex(1);
  EXPECT_EQ(Reported(get("MessEdit", 3), QAccessible::Description), "ppm");
}

TEST(AccessibleStatus, TheStatusTextIsTheStatusBarsNameAsItChanges) {
  TestApp();
  QStatusBar bar;
  auto* panel = new QLabel(&bar);
  bar.addWidget(panel, 1);
  QtOperator op;
  op.SetStatusPanel(panel);
  for (const char* text : {"Transmitting configuration for channel 3", "Transmission error", ""}) {
    op.ShowStatus(text);
    EXPECT_EQ(Reported(&bar, QAccessible::Name), text);
  }
}

}  // namespace
}  // namespace quorvex::testing
