// The configuration record that print, PDF and CSV export present, built without Qt.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/config_image.h"
#include "core/config_view.h"

namespace quorvex {

struct TextSet;

// What a configuration record holds: where the configuration came from and went to, the
// channels as shown and the bytes they make. Every front end fills it and presents it its way.
struct ConfigRecord {
  std::string program;   // "Quorvex 1.4"
  std::string dateTime;  // "2026-12-07 14:05"
  std::string fileName;  // the remembered .KFG file
  int comPort = 0;       // COM n; 0 or less when none is chosen
  ConfigurationView channels;
  ConfigImage image{};
};

// "Quorvex 1.4": the application title and the project's version.
std::string ProgramNameAndVersion();

// The lines above the channel table, label and value: program, date, file, COM port.
std::vector<std::pair<std::string, std::string>> RecordFacts(const ConfigRecord& record,
                                                             const TextSet& texts);

// The channel table: a header row, then one row per channel with the channel number, the five
// fields as the window shows them (blanks trimmed) and the measurement range's unit.
using RecordRow = std::vector<std::string>;
std::vector<RecordRow> RecordTable(const ConfigRecord& record, const TextSet& texts);

// The whole record as one CSV table that a spreadsheet opens as it is: UTF-8 with a byte order
// mark (the units hold a degree sign), "," between fields and CRLF after each row as RFC 4180
// has them, "." in numbers whatever the locale, fields quoted only where they hold a comma,
// quote, line break or blank at either end. Every row has the channel table's width: first the
// facts (label, value), then the image in hex, an empty row, then the channel table with each
// channel's five registers in hex added as its last column.
// A cell that a spreadsheet would take for a formula (it begins with "=", "+", "-", "@", a tab
// or a carriage return) is written with a "'" before it, as is a cell that would otherwise read
// back as such a guarded one.
std::string RecordCsv(const ConfigRecord& record, const TextSet& texts);

// Rows as RecordCsv writes its table: the byte order mark, each cell guarded and quoted as
// there, "," between cells and CRLF after each row. Other tables a spreadsheet opens (the
// history's) are written by the same rules.
std::string CsvText(const std::vector<RecordRow>& rows);

// A cell's text as RecordCsv writes it, and as it was before.
std::string FormulaGuarded(std::string cell);
std::string WithoutFormulaGuard(std::string cell);

}  // namespace quorvex
