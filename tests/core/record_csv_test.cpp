// Tests of reading the record's CSV back: the table's quoting, the forms spreadsheets save, and
// every refusal named by line and column.
#include "core/record_csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/channel_panel.h"
#include "core/config_record.h"
#include "core/config_view.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"
#include "tests/support/panel_setup.h"

namespace quorvex {
namespace {

using testing::kKnownImage;

// The known configuration as the window exports it.
std::string KnownRecord() {
  ConfigRecord record;
  record.program = "Quorvex 1.4";
  record.dateTime = "2026-12-07 14:05";
  record.fileName = "/tmp/known.KFG";
  record.comPort = 3;
  record.channels = ViewImage(kKnownImage);
  record.image = kKnownImage;
  return RecordCsv(record, EnglishTextSet());
}

// The same saved again by a spreadsheet in a German locale: ";", decimal commas, whole numbers
// without their ".0", no byte order mark, LF, no image row, no registers, trailing cells dropped.
const std::string kGermanCopy =
    "Program;Quorvex 1.4;;;;;;\n"
    "Date;2026-12-07 14:05;;;;;;\n"
    "Configuration file;/tmp/known.KFG;;;;;;\n"
    "COM port;COM3;;;;;;\n"
    ";;;;;;;\n"
    "Channel;Measurement value;Format;Offset;Range;Measurement range;Measurement unit\n"
    "1;O2;V;0,5;10;25;%\n"
    "2;CO;mA;4;20;1000;ppm\n"
    "3;TGas;V;0;10,2;1200;\xC2\xB0"
    "C\n"
    "4;Lambda;mA;0;20;5\n"
    "5;Eta;V;2,5;5;120;%\n"
    "6;CO2;mA;5;20,4;20;%\n"
    "7;TRaum;V;1;10;50;\xC2\xB0"
    "C\n"
    "8;Sens6;mA;0,4;16;63000;ppm\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// What the record's channels make when typed into the window's panel and encoded.
ConfigImage Encoded(const RecordContent& record) {
  MemoryPanel panel;
  FillChannelLists(panel);
  EnterRecordChannels(record, panel);
  return EncodeConfiguration(panel);
}

TEST(ReadCsvTable, QuotingSeparatorsAndLineEndsAsSpreadsheetsWriteThem) {
  struct Case {
    std::string text;
    std::vector<std::vector<std::string>> rows;
  };
  const Case cases[] = {
      {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
      {"\xEF\xBB\xBF"
       "a;b,c;x\nd;\"e;f\"",
       {{"a", "b,c", "x"}, {"d", "e;f"}}},
      {"\"x\"\"y\",\"line\r\nbreak\",z\n,\n", {{"x\"y", "line\r\nbreak", "z"}, {"", ""}}},
      {"a\rb\r\n\nc", {{"a"}, {"b"}, {""}, {"c"}}},
  };
  for (const Case& c : cases) {
    std::vector<std::vector<std::string>> rows;
    for (const CsvRow& row : ReadCsvTable(c.text).rows) {
      rows.emplace_back();
      for (const CsvCell& cell : row) rows.back().push_back(cell.text);
    }
    EXPECT_EQ(rows, c.rows) << c.text;
  }
  // Where a cell starts: the line after a quoted line break, the column by separators.
  const CsvTable table = ReadCsvTable("a,\"1\n2\"\nb,c");
  EXPECT_EQ(table.rows[1][1].line, 3);
  EXPECT_EQ(table.rows[1][1].column, 2);

  const std::pair<const char*, const char*> refused[] = {
      {"a,b\"c\n", "line 1, column 2: a quote inside a cell that does not start with one"},
      {"a\n\"open\n", "line 2, column 1: the quoted cell is never closed"},
      {"a\n\"x\ny\",\"z\" w", "line 3, column 2: after a quoted cell's closing quote"},
  };
  for (const auto& [text, message] : refused) {
    try {
      ReadCsvTable(text);
      ADD_FAILURE() << text;
    } catch (const RecordInputError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
}

TEST(ReadRecordCsv, TheWindowsExportAndASpreadsheetsCopyGiveTheSameBytes) {
  const TextSet texts = EnglishTextSet();
  const RecordContent exported = ReadRecordCsv(KnownRecord(), texts);
  ASSERT_TRUE(exported.image.has_value());
  EXPECT_EQ(*exported.image, kKnownImage);
  EXPECT_EQ(CheckedRecordImage(exported, texts), kKnownImage);
  EXPECT_EQ(Encoded(exported), kKnownImage);

  const RecordContent german = ReadRecordCsv(kGermanCopy, texts);
  EXPECT_FALSE(german.image.has_value());
  EXPECT_EQ(german.channels[0].fields[2].text, "0.5");
  EXPECT_EQ(Encoded(german), kKnownImage);

  // The spreadsheet's "10" for the window's "10.0" still agrees with the image.
  const RecordContent reformatted = ReadRecordCsv(Replaced(KnownRecord(), ",10.0,", ",10,"), texts);
  EXPECT_EQ(CheckedRecordImage(reformatted, texts), kKnownImage);

  // With "," between cells a comma in a number is no decimal comma: "1,000" may be a thousand.
  const RecordContent quoted =
      ReadRecordCsv(Replaced(KnownRecord(), ",1000,", ",\"1,000\","), texts);
  EXPECT_EQ(quoted.channels[1].fields[4].text, "1,000");
}

TEST(RecordCsv, CellsASpreadsheetWouldTakeForFormulasAreGuardedAndReadBackAsTheyWere) {
  // The remembered file as the window has it, and its cell as the record writes it.
  const std::pair<std::string, std::string> cases[] = {
      {"=HYPERLINK(\"x\";\"y\").KFG", "\"'=HYPERLINK(\"\"x\"\";\"\"y\"\").KFG\""},
      {"+1.KFG", "'+1.KFG"},
      {"-1.KFG", "'-1.KFG"},
      {"@A1.KFG", "'@A1.KFG"},
      {"\tx.KFG", "'\tx.KFG"},
      {"\rx.KFG", "\"'\rx.KFG\""},
      {"'=x.KFG", "''=x.KFG"},  // would read back as "=x.KFG" unguarded
      {"'x.KFG", "'x.KFG"},
      {"/tmp/=x.KFG", "/tmp/=x.KFG"},
  };
  ConfigRecord record;
  record.channels = ViewImage(kKnownImage);
  record.image = kKnownImage;
  for (const TextSet& texts : {EnglishTextSet(), GermanTextSet()}) {
    for (const auto& [name, cell] : cases) {
      SCOPED_TRACE(texts.channel + " " + name);
      record.fileName = name;
      const std::string csv = RecordCsv(record, texts);
      EXPECT_NE(csv.find("\r\n" + texts.recordFile + "," + cell + ","), std::string::npos);
      // No cell of the channel table starts a formula: numbers, units and names never do.
      EXPECT_EQ(csv.find(",'", csv.find(texts.quantityHeader)), std::string::npos);
      const CsvTable table = ReadCsvTable(csv);
      EXPECT_EQ(table.rows[2][1].text, name);
      EXPECT_EQ(RecordTextSet(table).channel, texts.channel);
      EXPECT_EQ(CheckedRecordImage(ReadRecordCsv(csv, texts), texts), kKnownImage);
    }
  }
}

TEST(ReadRecordCsv, WhatIsNoRecordIsNamedByLineAndColumn) {
  const std::string known = KnownRecord();
  const std::pair<std::string, const char*> cases[] = {
      {Replaced(known, "COM port,", "Port,"), "line 4, column 1: \"Port\" is neither a fact"},
      {Replaced(known, ",Format,", ",Unit,"),
       "line 7, column 3: expected the column \"Format\", found \"Unit\""},
      {Replaced(known, "8,Sens6,mA,0.4,16.0,63000,ppm,11 04 A0 F6 18\r\n", ""),
       "line 15, column 1: the row of channel 8 is missing"},
      {Replaced(known, " F6 18,", " F6,"), "line 5, column 2: the image must be its 41 bytes"},
      {Replaced(known, "\r\n2,", "\r\n3,"),
       "line 9, column 1: expected the row of channel 2, found \"3\""},
      {Replaced(known, "00 0A C8 00 FA\r\n", "00 0A C8 00 FA,x\r\n"),
       "line 8, column 9: \"x\" stands where the record has nothing"},
      {known + "9,,,,,,,\r\n", "line 16, column 1: the record ends with the row of channel 8"},
      {"", "line 1, column 1: the record has no channel table"},
      {Replaced(kGermanCopy, ";63000;", ";63.000;"), "line 14, column 6: \"63.000\" has a point"},
  };
  for (const auto& [text, message] : cases) {
    try {
      ReadRecordCsv(text, EnglishTextSet());
      ADD_FAILURE() << message;
    } catch (const RecordInputError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
}

TEST(CheckedRecordImage, ARowThatDoesNotShowTheImageNamesItsChannel) {
  const std::string known = KnownRecord();
  const std::pair<std::string, const char*> cases[] = {
      {Replaced(known, ",10.2,", ",5.0,"),
       "line 10, column 5: Channel 3 does not agree with the record's image: Range 5.0 V in its "
       "row, 10.2 V in the image"},
      {Replaced(known, "C,02 00 CC 04 B0", "C,02 00 C8 04 B0"),
       "line 10, column 8: Channel 3 does not agree with the record's image: registers 02 00 C8 04 "
       "B0 in its row, 02 00 CC 04 B0 in the image"},
      {Replaced(known, ",V,", ",mA,"), "line 8, column 3: Channel 1 does not agree"},
      {Replaced(known, ",0.5,", ",abc,"),
       "line 8, column 4: Channel 1 does not agree with the record's image: Offset 0.0 V (\"abc\" "
       "as written) in its row, 0.5 V in the image"},
      {Replaced(known, ",CO,", ",Ozone,"), "line 9, column 2: unknown measurement value \"Ozone\""},
  };
  const TextSet texts = EnglishTextSet();
  for (const auto& [text, message] : cases) {
    try {
      CheckedRecordImage(ReadRecordCsv(text, texts), texts);
      ADD_FAILURE() << message;
    } catch (const RecordInputError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace quorvex
