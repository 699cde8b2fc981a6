// The configuration record's CSV text read back: as the window exports it, or as a spreadsheet
// saved it again.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config_image.h"
#include "core/errors.h"
#include "core/text_set.h"

namespace quorvex {

class MemoryPanel;

// A text that is no record; what() names the line and column ("line 12, column 3: ...").
class RecordInputError : public ReportedError {
 public:
  using ReportedError::ReportedError;
};

// A cell of a CSV table and where it stands, both counted from 1; the line is where the cell
// starts (a quoted cell may hold line breaks).
struct CsvCell {
  std::string text;
  int line = 0;
  int column = 0;
};
using CsvRow = std::vector<CsvCell>;

struct CsvTable {
  char separator = ',';
  std::vector<CsvRow> rows;
};

// The table as RFC 4180 has it, with what spreadsheets also write: a byte order mark or none,
// CRLF, LF or CR line ends, ";" as separator where the first row holds more of them than ",".
// A cell the record guarded against spreadsheet formulas is read without its guard. Throws
// RecordInputError for a quote out of place or a quoted cell never closed.
CsvTable ReadCsvTable(std::string_view text);

// The texts a record was exported in, told by the labels of its facts and its channel table:
// the window writes its record in the language it shows.
TextSet RecordTextSet(const CsvTable& table);

// A channel's row of the record: its five fields in the window's header order, and its
// registers when the table has that column and the cell is not empty.
struct RecordChannel {
  int line = 0;
  std::array<CsvCell, 5> fields;
  std::optional<CsvCell> registers;
};

struct RecordContent {
  std::optional<ConfigImage> image;
  int imageLine = 0;
  std::array<RecordChannel, kChannelCount> channels;
};

// The record's facts, image and channel table, their labels the text set's. The facts other
// than the image are not needed and are skipped; the row order is the export's, empty rows
// anywhere. A file with ";" between cells may write decimals with a comma (a spreadsheet in a
// German locale): they get the point, as the window's key filter gives a typed comma. Throws
// RecordInputError naming the line and column of anything else.
RecordContent ReadRecordCsv(std::string_view text, const TextSet& texts);

// Selects and types the record's channels into a panel whose lists are filled, as an operator
// would in the window; checking the values is left to the window's check. An unknown quantity or
// unit throws RecordInputError naming its cell.
void EnterRecordChannels(const RecordContent& record, MemoryPanel& panel);

// The record's image, once every channel row says what the window shows for the image's bytes
// (the row's values as the window re-displays them; the measurement unit, which the quantity
// decides, is not compared) and its registers, where given, are the image's. Otherwise
// RecordInputError naming the channel, the field and the line. Needs record.image.
ConfigImage CheckedRecordImage(const RecordContent& record, const TextSet& texts);

}  // namespace quorvex
