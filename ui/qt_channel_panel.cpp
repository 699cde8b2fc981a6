// The channel panel on the main window's widgets, found by object name, changed silently.
#include "ui/qt_channel_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "ui/accessible_names.h"
#include "ui/qt_text.h"

namespace quorvex {

QtChannelPanel::QtChannelPanel(QWidget& grid) : grid_(grid) {}

QWidget* QtChannelPanel::Find(std::string_view component) const {
  const QString name = ToQ(component);
  if (const auto hit = found_.constFind(name); hit != found_.cend()) {
    QWidget* w = hit->data();
    if (w != nullptr && w->parentWidget() == &grid_ && w->objectName() == name) return w;
  }
  // Only the grid's own children: other windows reuse names such as "ComboBox1".
  QWidget* w = grid_.findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
  if (w != nullptr) found_.insert(name, w);
  return w;
}

std::string QtChannelPanel::Text(std::string_view component) const {
  QWidget* w = Find(component);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return FromQ(edit->text());
  if (auto* label = qobject_cast<QLabel*>(w)) return FromQ(label->text());
  if (auto* list = qobject_cast<QComboBox*>(w)) return FromQ(list->currentText());
  return {};
}

void QtChannelPanel::SetText(std::string_view component, std::string_view text) {
  QWidget* w = Find(component);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    const QSignalBlocker quiet(edit);
    // A re-display mostly writes back the text a field already holds; laying it out again
    // would change nothing.
    if (const QString newText = ToQ(text); edit->text() != newText) edit->setText(newText);
    // Show the start of a long text, as a field that was never scrolled does.
    edit->setCursorPosition(0);
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(ToQ(text));
    // Labels have no layout to size them; they fit their text.
    label->adjustSize();
    DescribeByUnitLabel(*label);
  }
}

int QtChannelPanel::ItemIndex(std::string_view component) const {
  auto* list = qobject_cast<QComboBox*>(Find(component));
  return list ? list->currentIndex() : -1;
}

void QtChannelPanel::SetItemIndex(std::string_view component, int index) {
  auto* list = qobject_cast<QComboBox*>(Find(component));
  if (!list) return;
  const QSignalBlocker quiet(list);
  list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

std::vector<std::string> QtChannelPanel::Items(std::string_view component) const {
  std::vector<std::string> items;
  if (auto* list = qobject_cast<QComboBox*>(Find(component))) {
    items.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) items.push_back(FromQ(list->itemText(i)));
  }
  return items;
}

void QtChannelPanel::SetItems(std::string_view component, const std::vector<std::string>& items) {
  auto* list = qobject_cast<QComboBox*>(Find(component));
  if (!list) return;
  const QSignalBlocker quiet(list);
  list->clear();
  for (const std::string& item : items) list->addItem(ToQ(item));
  // A list that receives its first entry selects it on its own; the panel promises no selection.
  list->setCurrentIndex(-1);
}

void QtChannelPanel::Focus(std::string_view component) {
  if (QWidget* w = Find(component)) w->setFocus(Qt::OtherFocusReason);
}

}  // namespace quorvex
