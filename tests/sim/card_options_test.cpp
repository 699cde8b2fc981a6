// Tests of quorvex-cardsim's command line: every switch, defaults, bad values, help.
#include "sim/card_options.h"

#include <gtest/gtest.h>

namespace quorvex::sim {
namespace {

using std::chrono::milliseconds;

TEST(CardOptions, ReadsEverySwitch) {
  const ParsedOptions parsed = ParseCardOptions(
      {"--port", "7", "--com-dir", "/tmp/ports", "--image=/tmp/card.kfg", "--log", "/tmp/log",
       "--silent", "--bad-check", "3", "--drop-register", "12", "--drop-register=5:2", "--delay",
       "40", "--hangup-after", "9", "--gap", "300"},
      "");
  ASSERT_EQ(parsed.error, "");
  const CardOptions& o = parsed.options;
  EXPECT_EQ(o.port, 7);
  EXPECT_EQ(o.comDir, "/tmp/ports");
  EXPECT_EQ(o.imagePath, "/tmp/card.kfg");
  EXPECT_EQ(o.logPath, "/tmp/log");
  EXPECT_TRUE(o.faults.silent);
  EXPECT_EQ(o.faults.badCheck, 3u);
  ASSERT_EQ(o.faults.dropRegisters.size(), 2u);
  EXPECT_EQ(o.faults.dropRegisters[0].address, 12);
  EXPECT_FALSE(o.faults.dropRegisters[0].count);
  EXPECT_EQ(o.faults.dropRegisters[1].address, 5);
  EXPECT_EQ(o.faults.dropRegisters[1].count, 2u);
  EXPECT_EQ(o.delay, milliseconds(40));
  EXPECT_EQ(o.faults.hangupAfter, 9u);
  EXPECT_EQ(o.frameGap, milliseconds(300));
}

TEST(CardOptions, DefaultsAndTheComFolderFromTheEnvironment) {
  const ParsedOptions parsed = ParseCardOptions({}, "/run/ports");
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.port, 1);
  EXPECT_EQ(parsed.options.comDir, "/run/ports");
  EXPECT_EQ(parsed.options.imagePath, "");
  EXPECT_EQ(parsed.options.frameGap, kDefaultFrameGap);
  EXPECT_FALSE(parsed.options.faults.hangupAfter);
  EXPECT_EQ(ParseCardOptions({"--com-dir", "/mine"}, "/run/ports").options.comDir, "/mine");
  EXPECT_EQ(parsed.options.line.uartTrigger, 1u);
  EXPECT_EQ(
      ParseCardOptions({"--baud", "1200", "--uart-trigger", "14"}, "/x").options.line.uartTrigger,
      14u);
}

TEST(CardOptions, RefusesToRunWithoutAComFolder) {
  EXPECT_NE(ParseCardOptions({}, "").error.find("QUORVEX_COM_DIR"), std::string::npos);
  EXPECT_NE(ParseCardOptions({"--com-dir", ""}, "/x").error, "");
  // Help needs no folder.
  const ParsedOptions help = ParseCardOptions({"--help"}, "");
  EXPECT_EQ(help.error, "");
  EXPECT_TRUE(help.options.help);
}

TEST(CardOptions, RejectsBadValuesWithTheOptionNamed) {
  const std::vector<std::vector<std::string>> bad = {
      {"--port", "0"},
      {"--port", "256"},
      {"--port", "1x"},
      {"--port"},
      {"--delay", "-5"},
      {"--delay", "60001"},
      {"--bad-check", ""},
      {"--gap", "0"},
      {"--drop-register", "32768"},
      {"--drop-register", "a"},
      {"--drop-register", "4:"},
      {"--silent=1"},
      {"--hangup-after", "1.5"},
      {"--uart-trigger", "2"},
      {"--uart-trigger", "0x8"},
      {"--uart-trigger", "8"},
      {"--uart-trigger", "1", "--baud", "1200", "--adapter-latency", "1"},
      {"--uart-trigger", "16"},
      {"--frobnicate"},
      {"stray"}};
  for (const auto& args : bad) {
    const ParsedOptions parsed = ParseCardOptions(args, "/tmp");
    EXPECT_NE(parsed.error, "") << args[0];
    EXPECT_NE(parsed.error.find(args[0].substr(0, args[0].find('='))), std::string::npos)
        << parsed.error;
  }
}

// Where a general parser would read the switches otherwise than they always meant.
TEST(CardOptions, KeepsDecimalNumbersAndTheLastValueOfASwitch) {
  struct Case {
    std::vector<std::string> args;
    int port;
  };
  const Case cases[] = {{{"--port", "010"}, 10},  // not octal
                        {{"--port=0012"}, 12},
                        {{"--port", "3", "--port", "4"}, 4}};
  for (const Case& c : cases) {
    const ParsedOptions parsed = ParseCardOptions(c.args, "/tmp");
    EXPECT_EQ(parsed.error, "") << c.args[0];
    EXPECT_EQ(parsed.options.port, c.port) << c.args[0];
  }
  EXPECT_NE(ParseCardOptions({"--port", "0x10"}, "/tmp").error, "");
  // One value per --drop-register: what follows is not taken as a second register.
  EXPECT_NE(ParseCardOptions({"--drop-register", "3", "4"}, "/tmp").error, "");
}

TEST(CardOptions, HelpExplainsEverySwitchAndTheFrameRule) {
  const std::string help = CardHelpText();
  for (const char* word :
       {"--port", "--com-dir", "--image", "--log", "--gap", "--silent", "--bad-check",
        "--drop-register", "--delay", "--hangup-after", "--uart-trigger", "-h, --help",
        "QUORVEX_COM_DIR", "ready: ", "wrong check byte", "dropped whole"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace quorvex::sim
