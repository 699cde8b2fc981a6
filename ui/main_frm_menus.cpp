// MainFrm's menus: File and Transfer with what their items run, and the Language menu's items;
// the File commands that wait while a transfer runs.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <optional>

#include "core/text_set.h"
#include "procedures/card_session.h"
#include "storage/history.h"
#include "storage/settings.h"
#include "ui/com_port_frm.h"
#include "ui/error_report.h"
#include "ui/main_frm.h"
#include "ui/settings_autosave.h"

namespace quorvex {

void MainFrm::BuildMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));

  auto item = [this](QMenu* menu, const char* name, const char* caption) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    action->setObjectName(QLatin1String(name));
    menu->addAction(action);
    return action;
  };

  auto* datei1 = datei1_ = new QMenu(QStringLiteral("&Datei"), this);
  datei1->setObjectName(QStringLiteral("Datei1"));
  bar->addMenu(datei1);
  konfigurationladen1_ = item(datei1, "Konfigurationladen1", "&Konfiguration &laden");
  konfigurationspeichern1_ = item(datei1, "Konfigurationspeichern1", "&Konfiguration &speichern");
  konfigurationdrucken1_ = item(datei1, "Konfigurationdrucken1", "Konfiguration &drucken...");
  protokollexportieren1_ = item(datei1, "Protokollexportieren1", "Protokoll &exportieren...");
  // Beside the record's entries: the history is the record of every transfer.
  verlauf1_ = item(datei1, "Verlauf1", "&Verlauf...");
  QAction* n1 = datei1->addSeparator();
  n1->setObjectName(QStringLiteral("N1"));
  beenden1_ = item(datei1, "Beenden1", "&Beenden");

  auto* uebertragen = new QMenu(QStringLiteral("&\u00dcbertragung"), this);
  uebertragen->setObjectName(QStringLiteral("Uebertragen"));
  bar->addMenu(uebertragen);
  QAction* empfangen = item(uebertragen, "Empfangen", "&Empfangen");
  QAction* senden = item(uebertragen, "Senden", "&Senden");
  QAction* comPort1 = item(uebertragen, "COMPort1", "COM Port...");
  QAction* vergleichen = item(uebertragen, "Vergleichen", "Ver&gleichen");

  // Its captions are the same in every language; the language's texts put them on.
  sprache1_ = new QMenu(this);
  sprache1_->setObjectName(QStringLiteral("Sprache1"));
  bar->addMenu(sprache1_);
  auto* languages = new QActionGroup(this);
  englisch1_ = item(sprache1_, "Englisch1", "");
  deutsch1_ = item(sprache1_, "Deutsch1", "");
  for (QAction* language : {englisch1_, deutsch1_}) {
    language->setCheckable(true);
    languages->addAction(language);
  }
  connect(englisch1_, &QAction::triggered, this,
          [this] { ChooseLanguage(kEnglishLanguageNumber); });
  connect(deutsch1_, &QAction::triggered, this, [this] { ChooseLanguage(kGermanLanguageNumber); });

  connect(konfigurationladen1_, &QAction::triggered, this, [this] {
    std::optional<bool> loaded;  // none when the load failed
    RunReported([this, &loaded] { loaded = session_->Load(rememberedFileName_); });
    // A file that failed to load is not offered again.
    if (!loaded) {
      RemoveRecentFile(recentFiles_, rememberedFileName_);
    } else if (*loaded) {
      AddRecentFile(recentFiles_, rememberedFileName_);
      MarkChannelsKept();
    }
    ShowRecentFiles();
    autosave_->CommandCompleted();
  });
  connect(konfigurationspeichern1_, &QAction::triggered, this, [this] {
    bool saved = false;
    RunReported([this, &saved] { saved = session_->Save(rememberedFileName_); });
    if (saved) {
      MarkChannelsKept();
      AddRecentFile(recentFiles_, rememberedFileName_);
      ShowRecentFiles();
    }
    autosave_->CommandCompleted();
  });
  connect(konfigurationdrucken1_, &QAction::triggered, this,
          [this] { RunReported([this] { Konfigurationdrucken1Click(); }); });
  connect(protokollexportieren1_, &QAction::triggered, this,
          [this] { RunReported([this] { Protokollexportieren1Click(); }); });
  connect(beenden1_, &QAction::triggered, this, &QWidget::close);
  connect(verlauf1_, &QAction::triggered, this, &MainFrm::Verlauf1Click);
  connect(empfangen, &QAction::triggered, this, [this] {
    RunRecordedTransfer(kHistoryRead, [this] { return CardComparison{session_->Read(), {}}; });
    autosave_->CommandCompleted();
  });
  connect(senden, &QAction::triggered, this, [this] {
    RunRecordedTransfer(kHistoryWrite, [this] { return CardComparison{session_->Write(), {}}; });
  });
  connect(comPort1, &QAction::triggered, this, &MainFrm::COMPort1Click);
  connect(vergleichen, &QAction::triggered, this,
          [this] { RunRecordedTransfer(kHistoryVerify, [this] { return VergleichenClick(); }); });
}

void MainFrm::SetFileCommandsEnabled(bool enabled) {
  fileCommandsEnabled_ = enabled;
  // The record reads the channels that a read may be filling, and a new language rebuilds the
  // lists it fills.
  for (QAction* command : {konfigurationladen1_, konfigurationspeichern1_, konfigurationdrucken1_,
                           protokollexportieren1_, verlauf1_, beenden1_, englisch1_, deutsch1_}) {
    command->setEnabled(enabled);
  }
  for (QAction* recent : recentItems_) recent->setEnabled(enabled);
}

void MainFrm::COMPort1Click() {
  // The dialog stores the chosen port itself; its result says nothing more.
  if (comPortFrm_) RunReported([this] { comPortFrm_().exec(); });
  autosave_->CommandCompleted();
}

}  // namespace quorvex
