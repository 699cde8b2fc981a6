// Tests of the configuration record's facts, table and CSV text.
#include "core/config_record.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text_set.h"
#include "tests/support/panel_setup.h"

namespace quorvex {
namespace {

TEST(RecordCsv, OneTableOfFactsImageAndChannelsQuotedOnlyWhereAFieldWouldBreakTheRow) {
  ConfigRecord record;
  record.program = "Quorvex 1.4";
  record.dateTime = "2026-12-07 14:05";
  record.fileName = "/tmp/a, b.KFG";
  record.comPort = 3;
  record.image = testing::kKnownImage;
  record.channels[0] = {"a,b", "V", " 0.5", "10.0 ", "say \"hi\"", "line\nbreak"};
  const char* const registers[] = {"01 28 C8 03 E8", "02 00 CC 04 B0", "03 00 C8 01 F4",
                                   "04 32 64 04 B0", "05 32 CC 00 C8", "07 14 C8 01 F4",
                                   "11 04 A0 F6 18"};
  std::string expected =
      "\xEF\xBB\xBF"
      "Program,Quorvex 1.4,,,,,,\r\n"
      "Date,2026-12-07 14:05,,,,,,\r\n"
      "Configuration file,\"/tmp/a, b.KFG\",,,,,,\r\n"
      "COM port,COM3,,,,,,\r\n"
      "\"Image (41 bytes, hex)\",55 00 0A C8 00 FA 01 28 C8 03 E8 02 00 CC 04 B0 03 00 C8 01 F4 04 "
      "32 64 04 B0 05 32 CC 00 C8 07 14 C8 01 F4 11 04 A0 F6 18,,,,,,\r\n"
      ",,,,,,,\r\n"
      "Channel,Measurement value,Format,Offset,Range,Measurement range,Measurement unit,"
      "Registers (hex)\r\n"
      "1,\"a,b\",V,0.5,10.0,\"say \"\"hi\"\"\",\"line\nbreak\",00 0A C8 00 FA\r\n";
  for (int n = 2; n <= kChannelCount; ++n)
    expected += std::to_string(n) + ",,,,,,," + registers[n - 2] + "\r\n";
  EXPECT_EQ(RecordCsv(record, EnglishTextSet()), expected);
}

TEST(RecordFacts, NameThePortOnlyWhenOneIsChosen) {
  const TextSet texts = EnglishTextSet();
  for (const auto& [port, text] : {std::pair{1, "COM1"}, {12, "COM12"}, {0, "-"}, {-1, "-"}}) {
    ConfigRecord record;
    record.comPort = port;
    EXPECT_EQ(RecordFacts(record, texts)[3],
              (std::pair<std::string, std::string>{"COM port", text}));
  }
}

}  // namespace
}  // namespace quorvex
