// The history's texts in the window's languages: the File menu's item, the history window, the
// tag field and what the user is told of the history.
#pragma once

#include <string>

namespace quorvex {

struct TextSet;

struct HistoryTexts {
  std::string menuItem;        // "&History..."
  std::string windowTitle;     // "History"
  std::string timeColumn;      // "Time (UTC)"
  std::string tagColumn;       // "Tag"
  std::string portColumn;      // "Port / device"
  std::string actionColumn;    // "Action"
  std::string outcomeColumn;   // "Outcome"
  std::string userColumn;      // "User"
  std::string fileColumn;      // "File"
  std::string recordsTable;    // "History records", what a screen reader calls the table
  std::string newestShown;     // "Only the newest %1 records are shown; ..."
  std::string tagFilter;       // "&Tag:"
  std::string portFilter;      // "&Port:"
  std::string sinceFilter;     // "&From:"
  std::string untilFilter;     // "&To:"
  std::string dateFilterOff;   // "any", what an empty date field shows
  std::string details;         // "Selected record", the screen reader's name of the details
  std::string loadButton;      // "&Load into window"
  std::string printButton;     // "Pr&int history..."
  std::string tagButton;       // "&Give tag"
  std::string closeButton;     // "&Close"
  std::string tagQuestion;     // "Tag of &record:"
  std::string nothingEarlier;  // "Nothing earlier is known of this card."
  std::string changedSince;    // "Changed since record"
  std::string unchangedSince;  // "Unchanged since record"
  std::string noImage;         // "The card's bytes are not known for this record."
  std::string notInHistory;    // "This transfer is not in the history"
  std::string historyOff;      // "The history is turned off in the settings file"
  std::string
      unsavedQuestion;  // "The channels shown have changes that ... Load the record anyway?"
  std::string loadedFromRecord;  // "Configuration from history record"
  std::string cardTagTitle;      // "Card tag"
  std::string cardTagPort;       // "&For:"
  std::string cardTag;           // "Card &tag:"
  std::string keepTag;           // "&Keep tag"
  std::string cardTagHint;       // "the analyser's plant tag, kept for this port"
  std::string actionWrite, actionRead, actionVerify, actionBackup, actionTag;
};

// The texts of language `languageNumber` (as the window numbers them); English for any other.
const HistoryTexts& HistoryTextsFor(int languageNumber);

// The texts of the language `texts` is in.
const HistoryTexts& HistoryTextsFor(const TextSet& texts);

// The action word of a record as the table shows it.
std::string ActionText(const HistoryTexts& t, const std::string& action);

}  // namespace quorvex
