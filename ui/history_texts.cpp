// The history's texts in English and German.
#include "ui/history_texts.h"

#include "core/text_set.h"
#include "storage/history.h"

namespace quorvex {

namespace {

// One text in both languages, as the text set keeps its own.
struct Entry {
  std::string HistoryTexts::*text;
  const char* english;
  const char* german;
};

const Entry kEntries[] = {
    {&HistoryTexts::menuItem, "&History...", "&Verlauf..."},
    {&HistoryTexts::windowTitle, "History", "Verlauf"},
    {&HistoryTexts::timeColumn, "Time (UTC)", "Zeit (UTC)"},
    {&HistoryTexts::tagColumn, "Tag", "Kennung"},
    {&HistoryTexts::portColumn, "Port / device", "Port / Ger\u00e4t"},
    {&HistoryTexts::actionColumn, "Action", "Aktion"},
    {&HistoryTexts::outcomeColumn, "Outcome", "Ergebnis"},
    {&HistoryTexts::userColumn, "User", "Benutzer"},
    {&HistoryTexts::fileColumn, "File", "Datei"},
    {&HistoryTexts::recordsTable, "History records", "Eintr\u00e4ge des Verlaufs"},
    {&HistoryTexts::newestShown,
     "Only the newest %1 records are shown; narrow the filter for older ones.",
     "Nur die neuesten %1 Eintr\u00e4ge sind gezeigt; f\u00fcr \u00e4ltere den Filter enger "
     "fassen."},
    {&HistoryTexts::tagFilter, "&Tag:", "&Kennung:"},
    {&HistoryTexts::portFilter, "&Port:", "&Port:"},
    {&HistoryTexts::sinceFilter, "&From:", "&Von:"},
    {&HistoryTexts::untilFilter, "T&o:", "&Bis:"},
    {&HistoryTexts::details, "Selected record", "Gew\u00e4hlter Eintrag"},
    {&HistoryTexts::loadButton, "&Load into window", "In das Fenster &laden"},
    {&HistoryTexts::printButton, "Pr&int history...", "Verlauf &drucken..."},
    {&HistoryTexts::tagButton, "&Give tag", "Kennung &geben"},
    {&HistoryTexts::closeButton, "&Close", "&Schlie\u00dfen"},
    {&HistoryTexts::tagQuestion, "Tag of &record:", "Kennung des &Eintrags:"},
    {&HistoryTexts::nothingEarlier, "Nothing earlier is known of this card.",
     "Von dieser Karte ist nichts Fr\u00fcheres bekannt."},
    {&HistoryTexts::changedSince, "Changed since record", "Ge\u00e4ndert seit Eintrag"},
    {&HistoryTexts::unchangedSince, "Unchanged since record", "Unver\u00e4ndert seit Eintrag"},
    {&HistoryTexts::noImage, "The card's bytes are not known for this record.",
     "Die Bytes der Karte sind f\u00fcr diesen Eintrag nicht bekannt."},
    {&HistoryTexts::notInHistory, "This transfer is not in the history",
     "Diese \u00dcbertragung ist nicht im Verlauf"},
    {&HistoryTexts::historyOff,
     "The history is turned off in the settings file ([History] Enabled=0)",
     "Der Verlauf ist in der Einstellungsdatei abgeschaltet ([History] Enabled=0)"},
    {&HistoryTexts::unsavedQuestion,
     "The channels shown have changes that were neither saved nor written, and would be replaced. "
     "Load the record anyway?",
     "Die angezeigten Kan\u00e4le haben \u00c4nderungen, die weder gespeichert noch "
     "\u00fcbertragen sind, und w\u00fcrden ersetzt. Den Eintrag trotzdem laden?"},
    {&HistoryTexts::loadedFromRecord, "Configuration from history record",
     "Konfiguration aus Verlaufseintrag"},
    {&HistoryTexts::cardTagTitle, "Card tag", "Kennung der Karte"},
    {&HistoryTexts::cardTagPort, "F&or:", "F\u00fc&r:"},
    {&HistoryTexts::cardTag, "Card &tag:", "&Kennung der Karte:"},
    {&HistoryTexts::keepTag, "&Keep tag", "Kennung &behalten"},
    {&HistoryTexts::cardTagHint, "the analyser's plant tag, kept for this port",
     "die Anlagenkennung des Analysators, f\u00fcr diesen Port gespeichert"},
    {&HistoryTexts::actionWrite, "write", "schreiben"},
    {&HistoryTexts::actionRead, "read", "lesen"},
    {&HistoryTexts::actionVerify, "compare", "vergleichen"},
    {&HistoryTexts::actionBackup, "backup read", "Sicherung gelesen"},
    {&HistoryTexts::actionTag, "tag given", "Kennung gegeben"},
};

HistoryTexts Texts(bool german) {
  HistoryTexts t;
  for (const Entry& e : kEntries) t.*e.text = german ? e.german : e.english;
  return t;
}

}  // namespace

const HistoryTexts& HistoryTextsFor(int languageNumber) {
  static const HistoryTexts english = Texts(false);
  static const HistoryTexts german = Texts(true);
  return languageNumber == kGermanLanguageNumber ? german : english;
}

const HistoryTexts& HistoryTextsFor(const TextSet& texts) {
  return HistoryTextsFor(texts.fileMenu == GermanTextSet().fileMenu ? kGermanLanguageNumber
                                                                    : kEnglishLanguageNumber);
}

std::string ActionText(const HistoryTexts& t, const std::string& action) {
  if (action == kHistoryWrite) return t.actionWrite;
  if (action == kHistoryRead) return t.actionRead;
  if (action == kHistoryVerify) return t.actionVerify;
  if (action == kHistoryBackupRead) return t.actionBackup;
  if (action == kHistoryTagCorrection) return t.actionTag;
  return action;
}

}  // namespace quorvex
