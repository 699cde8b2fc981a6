// MainFrm's language switch: the texts of the chosen language, and its menu item checked.
#include <QAction>

#include "core/text_set.h"
#include "ui/history_window.h"
#include "ui/language_texts.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/settings_autosave.h"

namespace quorvex {

void MainFrm::ChooseLanguage(int languageNumber) {
  languageNumber_ = ApplyLanguageTexts(*this, *panel_, op_, ctx_, languageNumber);
  CheckLanguageItem();
  if (historyWindow_) historyWindow_->ApplyLanguage(languageNumber_);
  autosave_->CommandCompleted();
}

void MainFrm::CheckLanguageItem() {
  (languageNumber_ == kGermanLanguageNumber ? deutsch1_ : englisch1_)->setChecked(true);
}

}  // namespace quorvex
