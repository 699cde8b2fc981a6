// What a screen reader is told about the main window: every control of the channel grid by
// channel and column in the window's language, the unit beside a measurement range, the status.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <string>

#include "core/channel_panel.h"
#include "tests/ui/window_test_support.h"
#include "ui/qt_operator.h"

namespace quorvex::testing {
namespace {

// What a screen reader reads for `w`: the name, and the description.
struct Reported {
  QString name;
  QString description;
};

Reported ReportedFor(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  if (a == nullptr) return {QStringLiteral("(no interface)"), {}};
  return {a->text(QAccessible::Name), a->text(QAccessible::Description)};
}

class AccessibleNamesTest : public WindowTest {
 protected:
  QWidget* Control(const char* stem, int n) {
    return frm_->findChild<QWidget*>(QString::fromStdString(ComponentName(stem, n)));
  }
};

TEST_F(AccessibleNamesTest, EveryGridControlIsNamedByChannelAndColumnInTheWindowsLanguage) {
  struct Column {
    const char* stem;
    const char* english;
    const char* german;
  };
  const Column columns[] = {
      {"ComboBox", "Measurement value", "Messwert"},
      {"EinheitBox", "Format", "Gr\u00f6\u00dfe"},
      {"Edit", "Offset", "Offset"},
      {"BereichEdit", "Range", "Bereich"},
      {"MessEdit", "Measurement range", "Messbereich"},
  };
  ASSERT_TRUE(ShowActive(*frm_));
  // Chosen by the operator: row 3 measures O2 in %, row 5 Lambda without a unit, the rest CO in
  // ppm.
  qobject_cast<QComboBox*>(Control("ComboBox", 3))->setCurrentIndex(0);
  qobject_cast<QComboBox*>(Control("ComboBox", 5))->setCurrentIndex(3);
  const auto unitOf = [](int n) { return n == 3 ? "%" : n == 5 ? "" : "ppm"; };

  // German first, then English: each switch renames all 40.
  for (const int language : {1, 2}) {
    const bool german = language == 1;
    frm_->findChild<QAction*>(german ? "Deutsch1" : "Englisch1")->trigger();
    for (const Column& c : columns) {
      for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(ComponentName(c.stem, n) + (german ? " de" : " en"));
        QWidget* w = Control(c.stem, n);
        ASSERT_NE(w, nullptr);
        const QString expected = QStringLiteral("%1 %2 %3")
                                     .arg(german ? "Kanal" : "Channel")
                                     .arg(n)
                                     .arg(QString::fromUtf8(german ? c.german : c.english));
        const Reported r = ReportedFor(w);
        if (auto* list = qobject_cast<QComboBox*>(w)) {
          // Where Qt answers a list's name with its entry, the description carries the name.
          if (r.name == expected) {
            EXPECT_EQ(r.description, "");
          } else {
            EXPECT_EQ(r.name, list->currentText());
            EXPECT_EQ(r.description, expected);
          }
          EXPECT_EQ(w->accessibleName(), expected);
        } else {
          EXPECT_EQ(r.name, expected);
          EXPECT_EQ(r.description, std::string_view(c.stem) == "MessEdit" ? unitOf(n) : "");
        }
      }
    }
  }

  // The unit follows the quantity after the naming too: row 3 back to CO.
  qobject_cast<QComboBox*>(Control("ComboBox", 3))->setCurrentIndex(1);
  EXPECT_EQ(ReportedFor(Control("MessEdit", 3)).description, "ppm");
  EXPECT_EQ(ReportedFor(Control("MessEdit", 3)).name, "Channel 3 Measurement range");
}

TEST(AccessibleStatus, TheStatusTextIsTheStatusBarsNameAsItChanges) {
  TestApp();
  QMainWindow window;
  auto* panel = new QLabel(window.statusBar());
  window.statusBar()->addWidget(panel, 1);
  QtOperator op;
  op.SetStatusPanel(panel);
  window.show();
  for (const char* text : {"Transmitting configuration for channel 3",
                           "Transmitting configuration for channel 4", "Transmission error", ""}) {
    op.ShowStatus(text);
    EXPECT_EQ(ReportedFor(window.statusBar()).name, text);
    EXPECT_EQ(ReportedFor(panel).name, text);
  }
}

}  // namespace
}  // namespace quorvex::testing
