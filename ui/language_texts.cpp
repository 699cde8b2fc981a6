// The language's texts put on the main window: captions, headers, menus, quantity lists.
#include "ui/language_texts.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <array>
#include <string>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"
#include "ui/accessible_names.h"
#include "ui/history_texts.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

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

// A component and the member of the text set that becomes its caption.
struct Caption {
  const char* name;
  std::string TextSet::*text;
};

constexpr Caption kHeaderCaptions[] = {
    {"Label9", &TextSet::quantityHeader},     {"Einheit", &TextSet::unitHeader},
    {"Label10", &TextSet::offsetHeader},      {"Label11", &TextSet::rangeHeader},
    {"Label12", &TextSet::measurementHeader},
};

constexpr Caption kMenuCaptions[] = {
    {"Datei1", &TextSet::fileMenu},
    {"Uebertragen", &TextSet::transferMenu},
    {"Konfigurationladen1", &TextSet::loadItem},
    {"Konfigurationspeichern1", &TextSet::saveItem},
    {"Beenden1", &TextSet::quitItem},
    {"COMPort1", &TextSet::comPortItem},
    {"Empfangen", &TextSet::readItem},
    {"Senden", &TextSet::writeItem},
    {"Vergleichen", &TextSet::compareItem},
    {"Konfigurationdrucken1", &TextSet::printItem},
    {"Protokollexportieren1", &TextSet::exportItem},
    {"Sprache1", &TextSet::languageMenu},
    {"Englisch1", &TextSet::englishItem},
    {"Deutsch1", &TextSet::germanItem},
};

}  // namespace

int ApplyLanguageTexts(QMainWindow& window, ChannelPanel& panel, Operator& op, AppContext& ctx,
                       int languageNumber) {
  std::array<int, kChannelCount> selected{};
  for (int n = 1; n <= kChannelCount; ++n) {
    selected[static_cast<std::size_t>(n - 1)] = panel.ItemIndex(ComponentName("ComboBox", n));
  }

  const int language = KnownLanguageNumber(languageNumber);
  ctx.texts = TextSetFor(language);
  const TextSet& t = ctx.texts;

  window.setWindowTitle(ToQ(t.productTitle + " "));
  for (int n = 1; n <= kChannelCount; ++n) {
    SetLabel(window, ComponentName("Label", n).c_str(), t.channel + " " + std::to_string(n) + " :");
  }
  for (const Caption& c : kHeaderCaptions) SetLabel(window, c.name, t.*c.text);
  for (const Caption& c : kMenuCaptions) SetMenuCaption(window, c.name, t.*c.text);
  SetMenuCaption(window, "Verlauf1", HistoryTextsFor(language).menuItem);
  if (QWidget* grid = window.centralWidget()) NameGridControls(*grid, t);

  for (int n = 1; n <= kChannelCount; ++n) FillQuantityList(panel, ComponentName("ComboBox", n));
  for (int n = 1; n <= kChannelCount; ++n) {
    panel.SetItemIndex(ComponentName("ComboBox", n), selected[static_cast<std::size_t>(n - 1)]);
  }

  op.ShowStatus("");
  return language;
}

}  // namespace quorvex
