// Names for screen readers, in the language of the window.
#include "ui/accessible_names.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>
#include <QWidget>
#include <string>

#include "core/channel_panel.h"
#include "core/image_layout.h"
#include "core/text_set.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

// A column of the grid and the header whose words name it.
struct NamedColumn {
  const char* stem;
  std::string TextSet::*header;
};

constexpr NamedColumn kNamedColumns[] = {
    {"ComboBox", &TextSet::quantityHeader},    {"EinheitBox", &TextSet::unitHeader},
    {"Edit", &TextSet::offsetHeader},          {"BereichEdit", &TextSet::rangeHeader},
    {"MessEdit", &TextSet::measurementHeader},
};

constexpr char kUnitLabelStem[] = "ELabel";
constexpr char kMeasurementStem[] = "MessEdit";

QWidget* GridChild(const QWidget& grid, const std::string& name) {
  return grid.findChild<QWidget*>(ToQ(name), Qt::FindDirectChildrenOnly);
}

}  // namespace

void NameGridControls(QWidget& grid, const TextSet& texts) {
  for (int n = 1; n <= kChannelCount; ++n) {
    const std::string row = texts.channel + " " + std::to_string(n) + " ";
    for (const NamedColumn& c : kNamedColumns) {
      QWidget* control = GridChild(grid, ComponentName(c.stem, n));
      if (control == nullptr) continue;
      const QString name = ToQ(row + texts.*c.header);
      if (auto* list = qobject_cast<QComboBox*>(control)) {
        NameList(*list, name);
      } else {
        control->setAccessibleName(name);
      }
    }
    if (auto* unit = qobject_cast<QLabel*>(GridChild(grid, ComponentName(kUnitLabelStem, n)))) {
      DescribeByUnitLabel(*unit);
    }
  }
}

void DescribeByUnitLabel(const QLabel& label) {
  const QString name = label.objectName();
  const QString stem = QLatin1String(kUnitLabelStem);
  if (!name.startsWith(stem) || label.parentWidget() == nullptr) return;
  const QString field = QLatin1String(kMeasurementStem) + name.mid(stem.size());
  if (QWidget* measurement =
          label.parentWidget()->findChild<QWidget*>(field, Qt::FindDirectChildrenOnly)) {
    if (measurement->accessibleDescription() != label.text()) {
      measurement->setAccessibleDescription(label.text());
    }
  }
}

void NameList(QComboBox& list, const QString& name) {
  list.setAccessibleName(name);
  // Qt's combo box on Linux and macOS answers the name with its current entry and leaves the
  // name to a labelled-by relation; a description is what it reports as set.
  QAccessibleInterface* reported = QAccessible::queryAccessibleInterface(&list);
  const bool nameReported =
      reported != nullptr && reported->text(QAccessible::Name) == name && !name.isEmpty();
  list.setAccessibleDescription(nameReported ? QString() : name);
}

void NameByLabel(QWidget& control, QLabel& label) {
  label.setBuddy(&control);
  QString name = label.text();
  name.remove(QRegularExpression(QStringLiteral("&(?!&)")));
  name.replace(QLatin1String("&&"), QLatin1String("&"));
  if (name.endsWith(QLatin1Char(':'))) name.chop(1);
  control.setAccessibleName(name.trimmed());
}

void AnnounceStatus(QLabel& statusPanel) {
  // Qt tells a label's new text as a change of the label's name, which screen readers present
  // for the focused control only; a status bar's own message is the bar's name, and a change of
  // it is what a reader watching the status bar is told.
  if (auto* bar = qobject_cast<QStatusBar*>(statusPanel.parentWidget())) {
    if (bar->accessibleName() != statusPanel.text()) bar->setAccessibleName(statusPanel.text());
  }
}

}  // namespace quorvex
