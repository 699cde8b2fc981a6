// The configuration record: its facts, its channel table and its CSV text.
#include "core/config_record.h"

#include <string_view>

#include "core/app_context.h"
#include "core/text_set.h"
#include "core/version.h"

namespace quorvex {

namespace {

// Formats pad numbers to a width; a table cell lines up on its own.
std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Whatever begins so starts a formula in a spreadsheet that opens the record.
bool StartsFormula(std::string_view cell) {
  return !cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos;
}

// A cell beginning with the guard and then something guarded: written as it stands, it would read
// back without its first "'".
bool LooksGuarded(std::string_view cell) {
  return cell.size() > 1 && cell.front() == '\'' &&
         (StartsFormula(cell.substr(1)) || LooksGuarded(cell.substr(1)));
}

std::string CsvField(const std::string& field) {
  const bool quote = field.find_first_of(",\"\r\n") != std::string::npos ||
                     (!field.empty() && (field.front() == ' ' || field.back() == ' '));
  if (!quote) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::string FormulaGuarded(std::string cell) {
  if (StartsFormula(cell) || LooksGuarded(cell)) cell.insert(cell.begin(), '\'');
  return cell;
}

std::string WithoutFormulaGuard(std::string cell) {
  if (LooksGuarded(cell)) cell.erase(cell.begin());
  return cell;
}

std::string ProgramNameAndVersion() {
  return std::string(kApplicationTitle) + " " + kProgramVersion;
}

std::vector<std::pair<std::string, std::string>> RecordFacts(const ConfigRecord& record,
                                                             const TextSet& texts) {
  const std::string port = record.comPort > 0 ? "COM" + std::to_string(record.comPort) : "-";
  return {{texts.recordProgram, record.program},
          {texts.recordDate, record.dateTime},
          {texts.recordFile, record.fileName},
          {texts.recordPort, port}};
}

std::vector<RecordRow> RecordTable(const ConfigRecord& record, const TextSet& texts) {
  std::vector<RecordRow> table;
  RecordRow header{texts.channel};
  for (ChannelField field : kChannelFields) header.push_back(FieldHeader(texts, field));
  header.push_back(texts.recordUnitLabel);
  table.push_back(std::move(header));
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelView& c = record.channels[static_cast<std::size_t>(n - 1)];
    table.push_back({std::to_string(n), Trimmed(c.quantity), Trimmed(c.unit), Trimmed(c.offset),
                     Trimmed(c.range), Trimmed(c.measurementRange), Trimmed(c.measurementUnit)});
  }
  return table;
}

std::string RecordCsv(const ConfigRecord& record, const TextSet& texts) {
  std::vector<RecordRow> table = RecordTable(record, texts);
  table[0].push_back(texts.recordRegisters);
  for (int n = 1; n <= kChannelCount; ++n) {
    table[static_cast<std::size_t>(n)].push_back(
        HexBytes(record.image.data() + ChannelOffset(n), kChannelImageSize));
  }
  std::vector<RecordRow> rows;
  for (const auto& [label, value] : RecordFacts(record, texts)) rows.push_back({label, value});
  rows.push_back({texts.recordImage, ImageHex(record.image)});
  rows.emplace_back();
  rows.insert(rows.end(), table.begin(), table.end());

  // Ragged rows are a second shape that importers handle each their own way.
  for (RecordRow& row : rows) row.resize(table[0].size());
  return CsvText(rows);
}

std::string CsvText(const std::vector<RecordRow>& rows) {
  // Spreadsheets read a UTF-8 file as their local code page unless it starts with the mark.
  std::string csv = "\xEF\xBB\xBF";
  for (const RecordRow& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) csv += ',';
      csv += CsvField(FormulaGuarded(row[i]));
    }
    csv += "\r\n";
  }
  return csv;
}

}  // namespace quorvex
