// Port lists, the combined exit code, and the log's lines.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/card_log.h"
#include "cli/port_selection.h"
#include "core/version.h"
#include "link/port_names.h"
#include "storage/sha256.h"
#include "tests/support/temp_folder.h"

namespace quorvex::cli {
namespace {

TEST(CardBatchTest, PortListsAndExitCodes) {
  struct ListCase {
    std::vector<std::string> values;
    std::vector<int> ports;  // empty: refused
  };
  const ListCase lists[] = {
      {{"3"}, {3}},
      {{"3,4,5"}, {3, 4, 5}},
      {{"3-10"}, {3, 4, 5, 6, 7, 8, 9, 10}},
      {{"7", "3-4", "4,1"}, {7, 3, 4, 1}},
      {{"255", "1-1"}, {255, 1}},
      {{"0"}, {}},
      {{"256"}, {}},
      {{"5-3"}, {}},
      {{"3,"}, {}},
      {{"3-"}, {}},
      {{"-3"}, {}},
      {{"x"}, {}},
      {{"3 4"}, {}},
      {{""}, {}},
  };
  for (const ListCase& c : lists) {
    SCOPED_TRACE(c.values.back());
    if (c.ports.empty()) {
      EXPECT_THROW(ParsePortList(c.values), std::invalid_argument);
      EXPECT_NE(PortListError(c.values.back()), "");
    } else {
      EXPECT_EQ(ParsePortList(c.values), c.ports);
    }
  }

  struct NetworkCase {
    std::vector<std::string> values;
    std::vector<std::string> names;  // as the lines name the ports; empty: refused
    std::string fileName;            // {port} of the last
  };
  const NetworkCase networkLists[] = {
      {{"rfc2217://10.0.0.5:4001"}, {"rfc2217://10.0.0.5:4001"}, "10.0.0.5-4001"},
      {{"3,tcp://box:7000-7002", "4"},
       {"COM3", "tcp://box:7000", "tcp://box:7001", "tcp://box:7002", "COM4"},
       "4"},
      {{"rfc2217://a-b.example:9-10", "RFC2217://a-b.example:10"},
       {"rfc2217://a-b.example:9", "rfc2217://a-b.example:10"},
       "a-b.example-10"},
      {{"tcp://[fe80::1]:4001"}, {"tcp://[fe80::1]:4001"}, "fe80__1-4001"},
      {{"rfc2217://10.0.0.5:4008-4001"}, {}, ""},
      {{"rfc2217://10.0.0.5:4001-x"}, {}, ""},
      {{"rfc2217://10.0.0.5"}, {}, ""},
      {{"ssh://10.0.0.5:22"}, {}, ""},
  };
  for (const NetworkCase& c : networkLists) {
    SCOPED_TRACE(c.values.front());
    NetworkAssignments network;
    if (c.names.empty()) {
      EXPECT_THROW(ParsePortList(c.values, network), std::invalid_argument);
      EXPECT_NE(PortListError(c.values.back()), "");
      continue;
    }
    std::vector<std::string> names;
    const std::vector<int> ports = ParsePortList(c.values, network);
    for (int port : ports) names.push_back(PortName(port, network));
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(PortFileName(ports.back(), network), c.fileName);
    for (const auto& [n, endpoint] : network) EXPECT_GT(n, quorvex::kLastComPort);
  }

  struct CodeCase {
    std::vector<int> codes;
    int combined;
  };
  const CodeCase codes[] = {
      {{0, 0, 0}, 0}, {{0, 1, 0}, 1},     {{1, 3, 0}, 3}, {{4, 3, 1}, 4},
      {{0, 4}, 4},    {{3, 130, 4}, 130}, {{0, 2}, 2},
  };
  for (const CodeCase& c : codes) EXPECT_EQ(CombineExitCodes(c.codes), c.combined);
}

TEST(CardBatchTest, LogLinesAreWholeJsonLinesAppendedByManyWriters) {
  const testing::TempFolder folder;
  const std::string path = folder / "cards.log";
  std::ofstream(path) << "an older line\n";

  LogEntry entry{"write",
                 3,
                 "usb-X_Y-if00",
                 "a.kfg",
                 Sha256Hex("abc"),
                 "differs",
                 {"Channel 1, Offset: Written 1.5, Card 1.55"},
                 7.4567,
                 std::nullopt,
                 {},
                 {}};
  const std::string line =
      LogLine(entry, std::chrono::system_clock::from_time_t(86400 * 366), "bench1");
  EXPECT_EQ(line,
            "{\"time\":\"1971-01-02T00:00:00Z\",\"host\":\"bench1\",\"program\":\"quorvex-cli " +
                std::string(kProgramVersion) +
                "\",\"command\":\"write\",\"port\":\"COM3\",\"device\":\"usb-X_Y-if00\",\"file\":"
                "\"a.kfg\",\"sha256\":"
                "\"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\",\"outcome\":"
                "\"differs\",\"differences\":[\"Channel 1, Offset: Written 1.5, Card 1.55\"],"
                "\"seconds\":7.456}\n");

  // Windows' friendly name follows the stable name; without one (Linux) the line has no field.
  LogEntry named = entry;
  named.deviceName = "USB Serial Port (COM3)";
  EXPECT_NE(
      LogLine(named, {}, "bench1")
          .find("\"device\":\"usb-X_Y-if00\",\"device_name\":\"USB Serial Port (COM3)\",\"file\""),
      std::string::npos);

  // Two logs on one file from four threads: every line whole, none lost.
  {
    CardLog first(path);
    CardLog second(path);
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
      writers.emplace_back([&, t] {
        LogEntry e = entry;
        e.port = t + 1;
        e.differences.assign(50, std::string(40, 'x'));
        for (int i = 0; i < 50; ++i) (t % 2 == 0 ? first : second).Append(e);
      });
    }
    for (auto& w : writers) w.join();
  }
  std::ifstream in(path);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "an older line");
  int lines = 0;
  while (std::getline(in, text)) {
    const auto parsed = nlohmann::json::parse(text);
    EXPECT_EQ(parsed["differences"].size(), 50u);
    ++lines;
  }
  EXPECT_EQ(lines, 200);

  EXPECT_THROW(CardLog(folder / "no-such-folder/x.log"), std::exception);
}

}  // namespace
}  // namespace quorvex::cli
