// When the working state is written while the program runs: scripts of events on made-up times.
#include "procedures/autosave_policy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/channel_panel.h"
#include "storage/settings.h"

namespace quorvex {
namespace {

using std::chrono::milliseconds;

enum class Ev { Change, Command, TransferStart, TransferEnd };

struct Step {
  int atMs;
  Ev event;
};

struct Attempt {
  int atMs;
  bool ok;
  bool operator==(const Attempt&) const = default;
};

struct Case {
  const char* name;
  std::vector<Step> steps;
  int untilMs;
  std::vector<Attempt> attempts;
  std::vector<int> failing = {};  // attempts (counted from 0) whose write fails
};

void PrintTo(const Attempt& attempt, std::ostream* out) {
  *out << attempt.atMs << (attempt.ok ? " ms written" : " ms failed");
}

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

std::vector<Step> Typing(int fromMs, int toMs, int everyMs) {
  std::vector<Step> steps;
  for (int t = fromMs; t <= toMs; t += everyMs) steps.push_back({t, Ev::Change});
  return steps;
}

std::vector<Step> Joined(std::vector<Step> a, const std::vector<Step>& b) {
  a.insert(a.end(), b.begin(), b.end());
  std::stable_sort(a.begin(), a.end(),
                   [](const Step& x, const Step& y) { return x.atMs < y.atMs; });
  return a;
}

// Runs the script on a 10 ms tick: the events of a moment first, then the question.
std::vector<Attempt> RunScript(const Case& c) {
  AutosavePolicy policy;
  const AutosavePolicy::TimePoint zero{};
  std::vector<Attempt> attempts;
  std::size_t next = 0;
  for (int t = 0; t <= c.untilMs; t += 10) {
    const auto now = zero + milliseconds(t);
    for (; next < c.steps.size() && c.steps[next].atMs <= t; ++next) {
      switch (c.steps[next].event) {
        case Ev::Change:
          policy.Changed(now);
          break;
        case Ev::Command:
          policy.CommandCompleted(now);
          break;
        case Ev::TransferStart:
          policy.TransferStarted();
          break;
        case Ev::TransferEnd:
          policy.TransferEnded();
          break;
      }
    }
    if (!policy.WriteDue(now)) continue;
    const bool ok = std::find(c.failing.begin(), c.failing.end(),
                              static_cast<int>(attempts.size())) == c.failing.end();
    ok ? policy.Written(now) : policy.WriteFailed(now);
    attempts.push_back({t, ok});
  }
  return attempts;
}

class AutosavePolicyTest : public ::testing::TestWithParam<Case> {};

TEST_P(AutosavePolicyTest, WritesWhenDue) {
  EXPECT_EQ(RunScript(GetParam()), GetParam().attempts);
}

const Case kCases[] = {
    {"NothingHappensNothingIsWritten", {}, 30000, {}},
    {"OneKeyIsWrittenAfterTwoQuietSeconds", {{0, Ev::Change}}, 10000, {{2000, true}}},
    {"ABurstIsWrittenOnceAfterItsLastKey", Typing(0, 900, 300), 10000, {{2900, true}}},
    {"TwoBurstsAreTwoWrites",
     Joined(Typing(0, 600, 300), Typing(5000, 5400, 200)),
     10000,
     {{2600, true}, {7400, true}}},
    // Keys every half second never leave two quiet seconds: the work is kept every ten.
    {"TypingWithoutPauseIsWrittenEveryTenSeconds",
     Typing(0, 24000, 500),
     30000,
     {{10000, true}, {20500, true}, {26000, true}}},
    {"ACommandIsWrittenAtOnce", {{700, Ev::Command}}, 5000, {{700, true}}},
    {"CommandsCloseTogetherAreOneWriteASecond",
     {{0, Ev::Command}, {300, Ev::Command}, {400, Ev::Command}},
     5000,
     {{0, true}, {1000, true}}},
    {"ACommandRightAfterATypingWriteWaitsOutTheSecond",
     {{0, Ev::Change}, {2200, Ev::Command}},
     5000,
     {{2000, true}, {3000, true}}},
    {"ACommandCutsTypingsQuietShort", {{0, Ev::Change}, {500, Ev::Command}}, 5000, {{500, true}}},
    {"TypingBeforeATransferWaitsForItsEnd",
     {{0, Ev::Change}, {500, Ev::TransferStart}, {6000, Ev::TransferEnd}},
     10000,
     {{6000, true}}},
    {"AReadIsWrittenWhenItEnds",
     {{0, Ev::TransferStart}, {4000, Ev::TransferEnd}, {4000, Ev::Command}},
     10000,
     {{4000, true}}},
    {"NestedTransfersHoldTheWriteUntilTheLastEnds",
     {{0, Ev::TransferStart},
      {100, Ev::TransferStart},
      {150, Ev::Command},
      {200, Ev::TransferEnd},
      {3000, Ev::TransferEnd}},
     10000,
     {{3000, true}}},
    {"AWriteToBoxAloneWritesNothing", {{0, Ev::TransferStart}, {4000, Ev::TransferEnd}}, 10000, {}},
    {"AFailedWriteWaitsForTheNextChange",
     {{0, Ev::Change}, {6000, Ev::Change}},
     12000,
     {{2000, false}, {8000, true}},
     {0}},
    {"AFailedWriteIsRetriedAtTheNextCommand",
     {{0, Ev::Change}, {2500, Ev::Command}},
     12000,
     {{2000, false}, {3000, true}},
     {0}},
    // A folder that stays write-protected is tried at typing's own pace, not at every key.
    {"FailuresDuringEndlessTypingAreTriedEveryTenSeconds",
     Typing(0, 30000, 500),
     31000,
     {{10000, false}, {20500, false}, {31000, false}},
     {0, 1, 2}},
};

// The script's name in the test's name, so a failing script is named.
std::string ScriptName(const ::testing::TestParamInfo<Case>& script) {
  return script.param.name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, AutosavePolicyTest, ::testing::ValuesIn(kCases), ScriptName);

// What would change the written file changes the key; nothing else does.
TEST(WorkingStateKeyTest, EveryStoredValueCounts) {
  MemoryPanel panel;
  panel.SetItems("ComboBox3", {"O2", "CO"});
  const WindowState window{600, 400, "C:\\a.KFG", 2, {}};
  const std::string key = WorkingStateKey(panel, 3, window);
  EXPECT_EQ(WorkingStateKey(panel, 3, window), key);

  struct Change {
    const char* what;
    std::function<std::string()> key;
  };
  const std::vector<Change> changes = {
      {"port", [&] { return WorkingStateKey(panel, 4, window); }},
      {"file",
       [&] {
         return WorkingStateKey(panel, 3, {600, 400, "C:\\b.KFG", 2, {}});
       }},
      {"height",
       [&] {
         return WorkingStateKey(panel, 3, {600, 401, "C:\\a.KFG", 2, {}});
       }},
      {"text",
       [&] {
         MemoryPanel other = panel;
         other.SetText("MessEdit8", "25.0");
         return WorkingStateKey(other, 3, window);
       }},
      {"list",
       [&] {
         MemoryPanel other = panel;
         other.SetItemIndex("ComboBox3", 1);
         return WorkingStateKey(other, 3, window);
       }},
  };
  for (const Change& c : changes) EXPECT_NE(c.key(), key) << c.what;
}

}  // namespace
}  // namespace quorvex
