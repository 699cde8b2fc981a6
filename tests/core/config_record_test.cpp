// Tests of the configuration record's facts, table and CSV text.
#include "core/config_record.h"

#include <gtest/gtest.h>

#include <string>

#include "core/text_set.h"

namespace quorvex {
namespace {

TEST(RecordCsv, QuotesOnlyFieldsThatWouldBreakTheRowAndTrimsPadding) {
  ConfigRecord record;
  record.channels[0] = {"a,b", "V", " 0.5", "10.0 ", "say \"hi\"", "line\nbreak"};
  std::string expected =
      "Channel,Measurement value,Format,Offset,Range,Measurement range,Measurement unit\n"
      "1,\"a,b\",V,0.5,10.0,\"say \"\"hi\"\"\",\"line\nbreak\"\n";
  for (int n = 2; n <= kChannelCount; ++n) expected += std::to_string(n) + ",,,,,,\n";
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
