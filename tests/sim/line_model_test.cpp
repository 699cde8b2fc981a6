// The line, adapter and UART model's timing, on the simulator's own time: no clock is read.
#include "sim/line_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex::sim {
namespace {

using std::chrono::milliseconds;
using Times = std::vector<long long>;  // microseconds

struct Send {
  bool fromCard = false;
  long long at = 0;
  std::vector<std::uint8_t> bytes;
};

struct Case {
  std::string name;
  LineSettings line;
  std::vector<Send> sends;
  Times atCard;        // when each of the program's bytes reaches the card
  Times atProgram;     // when each of the card's bytes is handed to the program
  long long firstDue;  // what the model says is due first, before anything is taken
};

Times TimesOf(const std::vector<TimedByte>& bytes) {
  Times times;
  for (const TimedByte& b : bytes) times.push_back(b.at.count());
  return times;
}

TEST(LineModel, BytesReachTheCardAndTheProgramWhenTheLineTheAdapterAndTheUartLetThem) {
  // A request written byte by byte 10 ms apart, as the PC does, and the card's reply at once.
  const std::vector<Send> exchange{{false, 0, {0x80}},
                                   {false, 10000, {0x07}},
                                   {false, 20000, {0x00}},
                                   {false, 30000, {0x87}},
                                   {true, 38332, {0x80, 0x07, 0x2A, 0xAF}}};
  const Times request1200{8333, 18333, 28333, 38333};
  const std::vector<Case> cases{
      {"instant", {}, exchange, {0, 10000, 20000, 30000}, Times(4, 38332), 0},
      // Ten bit times at 1200 baud: 8333 us after the write, 8333 us apart on the way back.
      {"1200 baud", {1200}, exchange, request1200, {46665, 54998, 63331, 71664}, 8333},
      // Bytes written together wait for each other on the line.
      {"queued",
       {1200},
       {{false, 0, {1, 2, 3}}, {false, 1000, {4}}},
       {8333, 16666, 24999, 33332},
       {},
       8333},
      // The adapter hands over at its ticks, counted from time zero.
      {"16 ms timer",
       {1200, milliseconds(16)},
       exchange,
       request1200,
       {48000, 64000, 64000, 80000},
       8333},
      {"1 ms timer",
       {1200, milliseconds(1)},
       exchange,
       request1200,
       {47000, 55000, 64000, 72000},
       8333},
      // A byte that arrives on a tick is handed over with it.
      {"on the tick", {0, milliseconds(16)}, {{true, 32000, {1}}}, {}, {32000}, 32000},
      // 62 waiting bytes are handed over at once, when the 62nd arrives; the rest at the tick.
      {"full buffer",
       {9600, milliseconds(255)},
       {{true, 0, std::vector<std::uint8_t>(64)}},
       {},
       [] {
         Times times(62, 62 * 1041);
         times.insert(times.end(), {255000, 255000});
         return times;
       }(),
       62 * 1041},
      // The PC's own UART: a reply handed over when the trigger's byte is in, or 4 byte times
      // (33332 us) after the last one came. Trigger 1 is the plain line.
      {"UART trigger 1", {1200, {}, 1}, exchange, request1200, {46665, 54998, 63331, 71664}, 8333},
      {"UART trigger 4, reply as long",
       {1200, {}, 4},
       exchange,
       request1200,
       Times(4, 71664),
       8333},
      {"UART trigger 8, reply shorter",
       {1200, {}, 8},
       exchange,
       request1200,
       Times(4, 104996),
       8333},
      {"UART trigger 4, reply longer",
       {1200, {}, 4},
       {{true, 0, std::vector<std::uint8_t>(10)}},
       {},
       {33332, 33332, 33332, 33332, 66664, 66664, 66664, 66664, 116662, 116662},
       33332},
      // A gap under the time-out keeps the bytes waiting; a longer one hands them over.
      {"UART trigger 14, gaps",
       {1200, {}, 14},
       {{true, 0, {1, 2}}, {true, 40000, {3}}, {true, 100000, {4}}},
       {},
       {81665, 81665, 81665, 141665},
       81665},
  };
  for (const Case& c : cases) {
    LineModel model(c.line);
    for (const Send& send : c.sends) {
      if (send.fromCard) {
        model.FromCard(send.bytes, Micros(send.at));
      } else {
        model.FromProgram(send.bytes, Micros(send.at));
      }
    }
    EXPECT_EQ(model.NextDue(), Micros(c.firstDue)) << c.name;
    // Nothing is handed over before its time, and everything once it has come.
    if (!c.atCard.empty()) {
      EXPECT_TRUE(model.TakeArrivedAtCard(Micros(c.atCard.front() - 1)).empty()) << c.name;
    }
    if (!c.atProgram.empty()) {
      EXPECT_TRUE(model.TakeDeliveredToProgram(Micros(c.atProgram.front() - 1)).empty()) << c.name;
    }
    EXPECT_EQ(TimesOf(model.TakeArrivedAtCard(Micros(10'000'000))), c.atCard) << c.name;
    EXPECT_EQ(TimesOf(model.TakeDeliveredToProgram(Micros(10'000'000))), c.atProgram) << c.name;
    EXPECT_EQ(model.NextDue(), std::nullopt) << c.name;
  }
}

}  // namespace
}  // namespace quorvex::sim
