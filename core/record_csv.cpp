// The record's CSV text read back: the table, the record's rows in it, the channels typed in.
#include "core/record_csv.h"

#include <algorithm>

#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_record.h"
#include "core/config_view.h"
#include "core/number_text.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"

namespace quorvex {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// The channel table's columns: channel, the five fields, the measurement unit, the registers.
constexpr std::size_t kFieldColumn = 1;
constexpr std::size_t kRegistersColumn = 7;
constexpr std::size_t kNumberFields[] = {2, 3, 4};  // offset, range, measurement range

[[noreturn]] void Fail(int line, int column, const std::string& message) {
  throw RecordInputError("line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + message);
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The separator the first row uses more of; a window's export has seven of one and none of the
// other there.
char Separator(std::string_view text) {
  int commas = 0;
  int semicolons = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') break;
    commas += c == ',';
    semicolons += c == ';';
  }
  return semicolons > commas ? ';' : ',';
}

// The cell in the column, or an empty one where a spreadsheet left off the row's trailing cells.
CsvCell Cell(const CsvRow& row, std::size_t column) {
  if (column < row.size()) return {Trimmed(row[column].text), row[column].line, row[column].column};
  const int line = row.empty() ? 0 : row.front().line;
  return {{}, line, static_cast<int>(column) + 1};
}

bool IsEmptyRow(const CsvRow& row) {
  return std::all_of(row.begin(), row.end(),
                     [](const CsvCell& c) { return Trimmed(c.text).empty(); });
}

void ExpectEmptyFrom(const CsvRow& row, std::size_t column) {
  for (std::size_t i = column; i < row.size(); ++i) {
    if (!Trimmed(row[i].text).empty()) {
      Fail(row[i].line, row[i].column,
           "\"" + Trimmed(row[i].text) + "\" stands where the record has nothing");
    }
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Bytes as the record writes them: two hex digits each, separated by blanks.
std::optional<std::vector<std::uint8_t>> HexBytesOf(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    if (i + 1 >= text.size() || HexDigit(text[i]) < 0 || HexDigit(text[i + 1]) < 0) return {};
    if (i + 2 < text.size() && text[i + 2] != ' ') return {};
    bytes.push_back(static_cast<std::uint8_t>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1])));
    i += 2;
  }
  return bytes;
}

ConfigImage ReadImage(const CsvCell& cell) {
  const auto bytes = HexBytesOf(cell.text);
  if (!bytes || bytes->size() != kConfigImageSize) {
    Fail(cell.line, cell.column,
         "the image must be its 41 bytes in hex, two digits each, separated by blanks "
         "(\"55 00 0A ...\")");
  }
  ConfigImage image{};
  std::copy(bytes->begin(), bytes->end(), image.begin());
  return image;
}

void ReadHeader(const CsvRow& row, const TextSet& texts, bool& hasRegisters) {
  std::vector<std::string> expected{texts.channel};
  for (ChannelField field : kChannelFields) expected.push_back(FieldHeader(texts, field));
  expected.push_back(texts.recordUnitLabel);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const CsvCell cell = Cell(row, i);
    if (cell.text != expected[i]) {
      Fail(cell.line, cell.column,
           "expected the column \"" + expected[i] + "\", found \"" + cell.text + "\"");
    }
  }
  const CsvCell registers = Cell(row, kRegistersColumn);
  hasRegisters = registers.text == texts.recordRegisters;
  if (!hasRegisters && !registers.text.empty()) {
    Fail(registers.line, registers.column,
         "expected the column \"" + texts.recordRegisters + "\" or none, found \"" +
             registers.text + "\"");
  }
  ExpectEmptyFrom(row, kRegistersColumn + 1);
}

RecordChannel ReadChannel(const CsvRow& row, int channel, bool hasRegisters) {
  const CsvCell number = Cell(row, 0);
  if (number.text != std::to_string(channel)) {
    Fail(number.line, number.column,
         "expected the row of channel " + std::to_string(channel) + ", found \"" + number.text +
             "\"");
  }
  RecordChannel c;
  c.line = number.line;
  for (std::size_t i = 0; i < c.fields.size(); ++i) c.fields[i] = Cell(row, kFieldColumn + i);
  if (hasRegisters) {
    const CsvCell registers = Cell(row, kRegistersColumn);
    if (!registers.text.empty()) c.registers = registers;
  }
  ExpectEmptyFrom(row, hasRegisters ? kRegistersColumn + 1 : kRegistersColumn);
  return c;
}

// A spreadsheet in a German locale writes "0,5" where the window has "0.5". Its "1.000" then
// is a thousand with a grouping point, which the window would read as one: refused rather than
// guessed, as are both marks in one number.
void TakeDecimalCommas(RecordContent& record) {
  bool commas = false;
  for (const RecordChannel& c : record.channels) {
    for (std::size_t f : kNumberFields)
      commas = commas || c.fields[f].text.find(',') != std::string::npos;
  }
  if (!commas) return;
  for (RecordChannel& c : record.channels) {
    for (std::size_t f : kNumberFields) {
      CsvCell& cell = c.fields[f];
      if (cell.text.find('.') != std::string::npos) {
        Fail(cell.line, cell.column,
             "\"" + cell.text +
                 "\" has a point, but the file writes decimals with a comma; "
                 "write the number without grouping points");
      }
      std::replace(cell.text.begin(), cell.text.end(), ',', '.');
    }
  }
}

// A field's value alone, as the window shows it: the lists' entry, the edit field's text.
const std::string& ShownValue(const ChannelView& view, ChannelField field) {
  switch (field) {
    case ChannelField::Quantity:
      return view.quantity;
    case ChannelField::Unit:
      return view.unit;
    case ChannelField::Offset:
      return view.offset;
    case ChannelField::Range:
      return view.range;
    case ChannelField::MeasurementRange:
      break;
  }
  return view.measurementRange;
}

std::string ChannelName(const TextSet& texts, int channel) {
  return texts.channel + " " + std::to_string(channel);
}

}  // namespace

CsvTable ReadCsvTable(std::string_view text) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  CsvTable table{Separator(text), {}};
  enum class State { FieldStart, Unquoted, Quoted, AfterQuote } state = State::FieldStart;
  int line = 1;
  CsvRow row;
  CsvCell cell{{}, 1, 1};
  const auto endCell = [&] {
    const int column = cell.column;
    cell.text = WithoutFormulaGuard(std::move(cell.text));
    row.push_back(std::move(cell));
    cell = {{}, line, column + 1};
    state = State::FieldStart;
  };
  const auto endRow = [&] {
    endCell();
    table.rows.push_back(std::move(row));
    row.clear();
    ++line;
    cell = {{}, line, 1};
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (state == State::Quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell.text += '"';
        ++i;
      } else if (c == '"') {
        state = State::AfterQuote;
      } else {
        if (c == '\n' || (c == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++line;
        cell.text += c;
      }
      continue;
    }
    if (c == table.separator) {
      endCell();
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      endRow();
    } else if (state == State::AfterQuote) {
      Fail(line, cell.column,
           "after a quoted cell's closing quote comes a separator or the line's end");
    } else if (c == '"' && state == State::FieldStart) {
      state = State::Quoted;
    } else if (c == '"') {
      Fail(line, cell.column, "a quote inside a cell that does not start with one");
    } else {
      cell.text += c;
      state = State::Unquoted;
    }
  }
  if (state == State::Quoted) Fail(cell.line, cell.column, "the quoted cell is never closed");
  if (state != State::FieldStart || !row.empty()) endRow();
  return table;
}

TextSet RecordTextSet(const CsvTable& table) {
  TextSet german = GermanTextSet();
  for (const CsvRow& row : table.rows) {
    const std::string label = Cell(row, 0).text;
    if (label == german.channel || label == german.recordProgram || label == german.recordImage) {
      return german;
    }
  }
  return EnglishTextSet();
}

RecordContent ReadRecordCsv(std::string_view text, const TextSet& texts) {
  const CsvTable table = ReadCsvTable(text);
  RecordContent record;
  bool inTable = false;
  bool hasRegisters = false;
  int channel = 0;
  int lastLine = 0;
  for (const CsvRow& row : table.rows) {
    lastLine = row.front().line;
    if (IsEmptyRow(row)) continue;
    const CsvCell label = Cell(row, 0);
    if (inTable && channel < kChannelCount) {
      record.channels[static_cast<std::size_t>(channel)] =
          ReadChannel(row, channel + 1, hasRegisters);
      ++channel;
    } else if (inTable) {
      Fail(label.line, label.column, "the record ends with the row of channel 8");
    } else if (label.text == texts.channel) {
      ReadHeader(row, texts, hasRegisters);
      inTable = true;
    } else if (label.text == texts.recordImage) {
      if (record.image) Fail(label.line, label.column, "a second image");
      record.image = ReadImage(Cell(row, 1));
      record.imageLine = label.line;
      ExpectEmptyFrom(row, 2);
    } else if (label.text == texts.recordProgram || label.text == texts.recordDate ||
               label.text == texts.recordFile || label.text == texts.recordPort) {
      ExpectEmptyFrom(row, 2);
    } else {
      Fail(label.line, label.column,
           "\"" + label.text +
               "\" is neither a fact of the record nor the channel table's header (\"" +
               texts.channel + "\")");
    }
  }
  if (!inTable) Fail(lastLine + 1, 1, "the record has no channel table");
  if (channel < kChannelCount) {
    Fail(lastLine + 1, 1, "the row of channel " + std::to_string(channel + 1) + " is missing");
  }
  if (table.separator == ';') TakeDecimalCommas(record);
  return record;
}

void EnterRecordChannels(const RecordContent& record, MemoryPanel& panel) {
  for (int n = 1; n <= kChannelCount; ++n) {
    const RecordChannel& c = record.channels[static_cast<std::size_t>(n - 1)];
    for (std::size_t f = 0; f < c.fields.size(); ++f) {
      const CsvCell& cell = c.fields[f];
      const std::string component = ComponentName(kChannelComponents[f], n);
      if (kChannelFields[f] != ChannelField::Quantity && kChannelFields[f] != ChannelField::Unit) {
        panel.SetText(component, cell.text);
        continue;
      }
      const auto items = panel.Items(component);
      const auto found = std::find(items.begin(), items.end(), cell.text);
      // "" is a channel without a quantity, as the window shows an unknown code; a unit it has.
      if (found == items.end() && (kChannelFields[f] == ChannelField::Unit || !cell.text.empty())) {
        Fail(cell.line, cell.column,
             kChannelFields[f] == ChannelField::Unit
                 ? "unknown unit \"" + cell.text + "\" (V or mA)"
                 : "unknown measurement value \"" + cell.text + "\"");
      }
      panel.SetItemIndex(component,
                         found == items.end() ? -1 : static_cast<int>(found - items.begin()));
    }
  }
}

ConfigImage CheckedRecordImage(const RecordContent& record, const TextSet& texts) {
  const ConfigImage& image = record.image.value();
  ConfigurationView shown;
  try {
    shown = ViewImage(image);
  } catch (const ReportedError& e) {
    Fail(record.imageLine, 2, std::string("the window cannot show the image: ") + e.what());
  }
  MemoryPanel panel;
  FillChannelLists(panel);
  EnterRecordChannels(record, panel);
  for (int n = 1; n <= kChannelCount; ++n) {
    const RecordChannel& c = record.channels[static_cast<std::size_t>(n - 1)];
    SetUnitLabel(panel, n, QuantityUnit(panel.Text(ComponentName(ChannelComponent::Quantity, n))));
    try {
      FormatChannel(panel, n);
    } catch (const ReportedError& e) {
      // The field the re-display failed on: each is read as the re-display reads it.
      int column = c.fields[kNumberFields[0]].column;
      for (std::size_t f : kNumberFields) {
        try {
          static_cast<void>(NarrowToSingle(LenientParse(c.fields[f].text)));
        } catch (const ReportedError&) {
          column = c.fields[f].column;
          break;
        }
      }
      Fail(c.line, column, ChannelName(texts, n) + ": " + e.what());
    }
    const ChannelView row = ViewChannel(panel, n);
    const ChannelView& held = shown[static_cast<std::size_t>(n - 1)];
    for (std::size_t f = 0; f < kChannelFields.size(); ++f) {
      const ChannelField field = kChannelFields[f];
      if (Trimmed(FieldText(row, field)) == Trimmed(FieldText(held, field))) continue;
      // What the row says as the window would show it, and as written where that is not the same.
      std::string said = Trimmed(FieldText(row, field));
      if (Trimmed(ShownValue(row, field)) != c.fields[f].text) {
        said += " (\"" + c.fields[f].text + "\" as written)";
      }
      Fail(c.fields[f].line, c.fields[f].column,
           ChannelName(texts, n) +
               " does not agree with the record's image: " + FieldHeader(texts, field) + " " +
               said + " in its row, " + Trimmed(FieldText(held, field)) + " in the image");
    }
    if (!c.registers) continue;
    const auto bytes = HexBytesOf(c.registers->text);
    const std::uint8_t* own = image.data() + ChannelOffset(n);
    if (!bytes || !std::equal(bytes->begin(), bytes->end(), own, own + kChannelImageSize)) {
      Fail(c.registers->line, c.registers->column,
           ChannelName(texts, n) + " does not agree with the record's image: registers " +
               c.registers->text + " in its row, " + HexBytes(own, kChannelImageSize) +
               " in the image");
    }
  }
  return image;
}

}  // namespace quorvex
