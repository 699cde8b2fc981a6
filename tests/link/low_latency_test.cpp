// The driver's low latency mode: asked once at open, given back once at close on every path.
#include "link/low_latency.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvex {
namespace {

// A driver that answers Get with `flags` and records every Set; either call may refuse.
class RecordingFlags : public SerialFlagsIo {
 public:
  int flags = 0x0040;
  int getError = 0;
  int setError = 0;
  int gets = 0;
  std::vector<int> sets;

  int Get(int& out) override {
    ++gets;
    out = flags;
    return getError;
  }
  int Set(int value) override {
    sets.push_back(value);
    return setError;
  }
};

enum class Ending { kDone, kFailed, kThrown };

TEST(LowLatency, AskedOnceGivenBackOnceOnEveryPathAndARefusalIsNoError) {
  constexpr int kOn = 0x0040 | kLowLatencyFlag;
  struct Case {
    std::string name;
    int getError;
    int setError;
    int flags;
    std::vector<int> sets;  // the asking, then the giving back
    std::string said;       // part of the one line the report gets
  };
  const std::vector<Case> cases{
      {"granted", 0, 0, 0x0040, {kOn, 0x0040}, "granted until the port closes"},
      {"a pty", ENOTTY, 0, 0x0040, {}, "no low latency mode"},
      {"a UART that refuses", 0, EINVAL, 0x0040, {kOn}, "no low latency mode"},
      {"already on", 0, 0, kOn, {}, "already"},
  };
  for (const Case& c : cases) {
    for (const Ending ending : {Ending::kDone, Ending::kFailed, Ending::kThrown}) {
      RecordingFlags io;
      io.getError = c.getError;
      io.setError = c.setError;
      io.flags = c.flags;
      std::vector<std::string> report;
      try {  // a transfer that holds the port, and so the guard, and ends as told
        const LowLatency guard(io, "COM3", [&](std::string_view s) { report.emplace_back(s); });
        if (ending == Ending::kThrown) throw std::runtime_error("card gone");
      } catch (const std::runtime_error&) {
      }
      EXPECT_EQ(io.gets, 1) << c.name;
      EXPECT_EQ(io.sets, c.sets) << c.name;
      ASSERT_EQ(report.size(), 1u) << c.name;
      EXPECT_EQ(report[0].rfind("COM3: ", 0), 0u) << report[0];
      EXPECT_NE(report[0].find(c.said), std::string::npos) << report[0];
    }
  }
}

}  // namespace
}  // namespace quorvex
