// The line and adapter model's timing, on the simulator's own time: no clock is read.
#include "sim/line_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvex::sim {
namespace {

using std::chrono::milliseconds;

// Micro-seconds, written as the log shows them.
Micros Us(long long us) {
  return Micros(us);
}

struct Send {
  bool fromCard = false;
  Micros at;
  std::vector<std::uint8_t> bytes;
};

struct Case {
  std::string name;
  LineSettings line;
  std::vector<Send> sends;
  std::vector<Micros> atCard;     // when each of the program's bytes reaches the card
  std::vector<Micros> atProgram;  // when each of the card's bytes is handed to the program
  Micros firstDue;                // what the model says is due first, before anything is taken
};

std::vector<std::uint8_t> Bytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i);
  return bytes;
}

std::vector<Micros> Times(const std::vector<TimedByte>& bytes) {
  std::vector<Micros> times;
  for (const TimedByte& b : bytes) times.push_back(b.at);
  return times;
}

TEST(LineModel, BytesReachTheCardAndTheProgramWhenTheLineAndTheAdapterLetThem) {
  const LineSettings instant{};
  const LineSettings line1200{1200, milliseconds(0)};
  const LineSettings timer16{1200, milliseconds(16)};
  const LineSettings timer1{1200, milliseconds(1)};
  // A request written byte by byte 10 ms apart, as the PC does, and the card's reply at once.
  const std::vector<Send> exchange{{false, Us(0), {0x80}},
                                   {false, Us(10000), {0x07}},
                                   {false, Us(20000), {0x00}},
                                   {false, Us(30000), {0x87}},
                                   {true, Us(38332), {0x80, 0x07, 0x2A, 0xAF}}};
  std::vector<Case> cases{
      {"instant",
       instant,
       exchange,
       {Us(0), Us(10000), Us(20000), Us(30000)},
       {Us(38332), Us(38332), Us(38332), Us(38332)},
       Us(0)},
      // Ten bit times at 1200 baud: 8333 us after the write, 8333 us apart on the way back.
      {"1200 baud",
       line1200,
       exchange,
       {Us(8333), Us(18333), Us(28333), Us(38333)},
       {Us(46665), Us(54998), Us(63331), Us(71664)},
       Us(8333)},
      // Bytes written together wait for each other on the line.
      {"queued",
       line1200,
       {{false, Us(0), Bytes(3)}, {false, Us(1000), Bytes(1)}},
       {Us(8333), Us(16666), Us(24999), Us(33332)},
       {},
       Us(8333)},
      // The adapter hands over at its ticks, 16 ms apart from time zero.
      {"16 ms timer",
       timer16,
       exchange,
       {Us(8333), Us(18333), Us(28333), Us(38333)},
       {Us(48000), Us(64000), Us(64000), Us(80000)},
       Us(8333)},
      {"1 ms timer",
       timer1,
       exchange,
       {Us(8333), Us(18333), Us(28333), Us(38333)},
       {Us(47000), Us(55000), Us(64000), Us(72000)},
       Us(8333)},
      // A byte that arrives on a tick is handed over with it.
      {"on the tick",
       LineSettings{0, milliseconds(16)},
       {{true, Us(32000), Bytes(1)}},
       {},
       {Us(32000)},
       Us(32000)},
      // 62 waiting bytes are handed over at once; the rest waits for the tick.
      {"full buffer",
       LineSettings{9600, milliseconds(255)},
       {{true, Us(0), Bytes(64)}},
       {},
       [] {
         std::vector<Micros> times(62, Us(62 * 1041));
         times.push_back(Us(255000));
         times.push_back(Us(255000));
         return times;
       }(),
       Us(62 * 1041)},
  };
  for (const Case& c : cases) {
    LineModel model(c.line);
    for (const Send& send : c.sends) {
      if (send.fromCard) {
        model.FromCard(send.bytes, send.at);
      } else {
        model.FromProgram(send.bytes, send.at);
      }
    }
    EXPECT_EQ(model.NextDue(), c.firstDue) << c.name;
    // Nothing is handed over before its time, and everything once it has come.
    if (!c.atCard.empty()) {
      EXPECT_TRUE(model.TakeArrivedAtCard(c.atCard.front() - Us(1)).empty()) << c.name;
    }
    if (!c.atProgram.empty()) {
      EXPECT_TRUE(model.TakeDeliveredToProgram(c.atProgram.front() - Us(1)).empty()) << c.name;
    }
    EXPECT_EQ(Times(model.TakeArrivedAtCard(Us(10'000'000))), c.atCard) << c.name;
    EXPECT_EQ(Times(model.TakeDeliveredToProgram(Us(10'000'000))), c.atProgram) << c.name;
    EXPECT_EQ(model.NextDue(), std::nullopt) << c.name;
  }
}

}  // namespace
}  // namespace quorvex::sim
