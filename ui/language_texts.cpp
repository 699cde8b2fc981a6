#include "ui/language_texts.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <array>
#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

constexpr int kChannels = 8;

void SetLabel(QMainWindow& window, const char* name, const std::string& text) {
  if (auto* label = window.findChild<QLabel*>(QLatin1String(name))) {
    label->setText(ToQ(text));
    // Headers keep their column width and wrap; the other labels fit their text.
    if (label->wordWrap()) {
      label->resize(label->width(), label->heightForWidth(label->width()));
    } else {
      label->adjustSize();
    }
  }
}

void SetMenuCaption(QMainWindow& window, const char* name, const std::string& text) {
  // Submenus are QMenu objects, items QAction objects; both carry the component name.
  if (auto* menu = window.findChild<QMenu*>(QLatin1String(name))) {
    menu->setTitle(ToQ(text));
  } else if (auto* action = window.findChild<QAction*>(QLatin1String(name))) {
    action->setText(ToQ(text));
  }
}

}  // namespace

int ApplyLanguageTexts(QMainWindow& window, ChannelPanel& panel, Operator& op, AppContext& ctx) {
  std::array<int, kChannels> selected{};
  for (int n = 1; n <= kChannels; ++n) {
    selected[static_cast<std::size_t>(n - 1)] = panel.ItemIndex(ComponentName("ComboBox", n));
  }

  ctx.texts = EnglishTextSet();
  const TextSet& t = ctx.texts;

  window.setWindowTitle(ToQ(t.productTitle + " "));
  for (int n = 1; n <= kChannels; ++n) {
    SetLabel(window, ComponentName("Label", n).c_str(), t.channel + " " + std::to_string(n) + " :");
  }
  SetLabel(window, "Label9", t.quantityHeader);
  SetLabel(window, "Einheit", t.unitHeader);
  SetLabel(window, "Label10", t.offsetHeader);
  SetLabel(window, "Label11", t.rangeHeader);
  SetLabel(window, "Label12", t.measurementHeader);

  SetMenuCaption(window, "Datei1", t.fileMenu);
  SetMenuCaption(window, "Uebertragen", t.transferMenu);
  SetMenuCaption(window, "Konfigurationladen1", t.loadItem);
  SetMenuCaption(window, "Konfigurationspeichern1", t.saveItem);
  SetMenuCaption(window, "Beenden1", t.quitItem);
  SetMenuCaption(window, "COMPort1", t.comPortItem);
  SetMenuCaption(window, "Empfangen", t.readItem);
  SetMenuCaption(window, "Senden", t.writeItem);

  for (int n = 1; n <= kChannels; ++n) FillQuantityList(panel, ComponentName("ComboBox", n));
  for (int n = 1; n <= kChannels; ++n) {
    panel.SetItemIndex(ComponentName("ComboBox", n), selected[static_cast<std::size_t>(n - 1)]);
  }

  op.ShowStatus("");
  return kEnglishLanguageNumber;
}

}  // namespace quorvex
