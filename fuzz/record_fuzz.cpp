// Reads arbitrary text as a configuration record, as import, write and verify do with a .csv.
// Properties: nothing but RecordInputError ever leaves the reader (the window's own check is
// what throws the others); the table's cells are numbered from 1 without gaps and their lines
// never go back; a record with an image gives exactly its image when it gives anything.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "core/channel_panel.h"
#include "core/quantity_catalogue.h"
#include "core/record_csv.h"
#include "core/text_set.h"
#include "fuzz/property.h"

namespace {

using quorvex::fuzz::Fail;

void CheckTable(std::string_view text) {
  quorvex::CsvTable table;
  try {
    table = quorvex::ReadCsvTable(text);
  } catch (const quorvex::RecordInputError&) {
    return;
  }
  int line = 1;
  for (const quorvex::CsvRow& row : table.rows) {
    if (row.empty()) Fail("a row without a cell");
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (row[i].column != static_cast<int>(i) + 1) Fail("columns not numbered from 1");
      if (row[i].line < line) Fail("a cell's line went back");
      line = row[i].line;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 65536) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckTable(text);
  const quorvex::TextSet texts = quorvex::EnglishTextSet();
  try {
    const quorvex::RecordContent record = quorvex::ReadRecordCsv(text, texts);
    if (record.image) {
      if (quorvex::CheckedRecordImage(record, texts) != *record.image) Fail("not the image");
      return 0;
    }
    quorvex::MemoryPanel panel;
    quorvex::FillChannelLists(panel);
    quorvex::EnterRecordChannels(record, panel);
  } catch (const quorvex::RecordInputError&) {
  } catch (const std::exception&) {
    Fail("an error other than RecordInputError");
  }
  return 0;
}
