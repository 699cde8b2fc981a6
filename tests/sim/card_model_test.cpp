// Tests of the simulated card's logic: registers, frame gap, check byte, fault switches.
#include "sim/card_model.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "sim/card_frame.h"

namespace quorvex::sim {
namespace {

using std::chrono::milliseconds;

// Feeds the bytes 20 ms apart, as the PC sends them, and keeps every step.
class Line {
 public:
  explicit Line(CardModel& card) : card_(card) {}

  std::vector<CardStep> Send(const std::vector<std::uint8_t>& bytes) {
    std::vector<CardStep> steps;
    for (const std::uint8_t b : bytes) {
      now_ += milliseconds(20);
      steps.push_back(card_.Receive(b, now_));
    }
    return steps;
  }
  // The reply to a whole request, or nothing; fails the test if a reply came early.
  std::optional<Frame> Exchange(const std::vector<std::uint8_t>& request) {
    const std::vector<CardStep> steps = Send(request);
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) EXPECT_FALSE(steps[i].reply);
    return steps.back().reply;
  }
  void Pause(milliseconds gap) { now_ += gap; }

 private:
  CardModel& card_;
  milliseconds now_{1000};
};

TEST(CardModel, WriteStoresAndEchoesThenReadReturnsTheValue) {
  CardModel card;
  Line line(card);
  EXPECT_EQ(line.Exchange({0x00, 0x07, 0x5A, 0x5F}), (Frame{0x00, 0x07, 0x5A, 0x5F}));
  EXPECT_EQ(card.Image()[7], 0x5A);
  EXPECT_EQ(line.Exchange({0x80, 0x07, 0x00, 0x87}), (Frame{0x80, 0x07, 0x5A, 0xDF}));
  // The last register of the map, and a reply whose echo carries the read bit.
  EXPECT_EQ(line.Exchange({0x00, 40, 0x81, 0xA9}), (Frame{0x00, 40, 0x81, 0xA9}));
  EXPECT_EQ(line.Exchange({0x80, 40, 0x00, 0xA8}), (Frame{0x80, 40, 0x81, 0xA9}));
  EXPECT_EQ(card.ValidRequests(), 4u);
}

TEST(CardModel, ReportsAChangeOnlyWhenAWriteAltersTheImage) {
  RegisterImage start{};
  start[3] = 9;
  CardModel card({}, start);
  Line line(card);
  EXPECT_FALSE(line.Send({0x00, 0x03, 0x09, 0x0B}).back().imageChanged);
  EXPECT_TRUE(line.Send({0x00, 0x03, 0x08, 0x0B}).back().imageChanged);
  EXPECT_FALSE(line.Send({0x80, 0x03, 0x00, 0x83}).back().imageChanged);
}

TEST(CardModel, IgnoresRequestsWithAWrongCheckByte) {
  CardModel card;
  Line line(card);
  const std::vector<CardStep> steps = line.Send({0x00, 0x05, 0x11, 0x00});
  EXPECT_FALSE(steps.back().reply);
  EXPECT_EQ(steps.back().badFrame, (Frame{0x00, 0x05, 0x11, 0x00}));
  EXPECT_EQ(card.Image()[5], 0);
  EXPECT_EQ(card.ValidRequests(), 0u);
  // The next proper request right behind it is understood.
  EXPECT_EQ(line.Exchange({0x80, 0x05, 0x00, 0x85}), (Frame{0x80, 0x05, 0x00, 0x85}));
}

TEST(CardModel, RegistersOutsideTheMapReadZeroAndIgnoreWrites) {
  RegisterImage start{};
  start.fill(0xEE);
  CardModel card({}, start);
  Line line(card);
  // Register 41 lies just past the map; 0x0107 only differs from register 7 in its high byte.
  const auto written = line.Send({0x00, 41, 0x33, 0x3B}).back();
  EXPECT_EQ(written.reply, (Frame{0x00, 41, 0x00, 0x29}));
  EXPECT_FALSE(written.imageChanged);
  EXPECT_EQ(line.Exchange({0x81, 0x07, 0x00, 0x87}), (Frame{0x81, 0x07, 0x00, 0x87}));
  EXPECT_EQ(line.Exchange({0x01, 0x07, 0x12, 0x17}), (Frame{0x01, 0x07, 0x00, 0x07}));
  RegisterImage expected{};
  expected.fill(0xEE);
  EXPECT_EQ(card.Image(), expected);
}

TEST(CardModel, SilentCardStillCarriesOutWrites) {
  CardFaults faults;
  faults.silent = true;
  CardModel card(faults);
  Line line(card);
  const CardStep step = line.Send({0x00, 0x02, 0x44, 0x46}).back();
  EXPECT_FALSE(step.reply);
  EXPECT_EQ(step.noReplyReason, "--silent");
  EXPECT_EQ(card.Image()[2], 0x44);
}

TEST(CardModel, BadCheckCorruptsExactlyTheFirstRepliesSent) {
  CardFaults faults;
  faults.badCheck = 2;
  faults.dropRegisters = {{9, 1}};
  CardModel card(faults);
  Line line(card);
  // A dropped reply is not sent at all, so it does not use up a corrupted one.
  EXPECT_FALSE(line.Exchange({0x80, 0x09, 0x00, 0x89}));
  for (int i = 0; i < 2; ++i) {
    const CardStep step = line.Send({0x80, 0x09, 0x00, 0x89}).back();
    ASSERT_TRUE(step.reply);
    EXPECT_TRUE(step.replyCorrupted);
    EXPECT_FALSE(CheckByteValid(*step.reply));
    EXPECT_EQ((*step.reply)[2], 0x00);
  }
  const CardStep step = line.Send({0x80, 0x09, 0x00, 0x89}).back();
  EXPECT_FALSE(step.replyCorrupted);
  EXPECT_EQ(step.reply, (Frame{0x80, 0x09, 0x00, 0x89}));
}

TEST(CardModel, DropRegisterWithAndWithoutCount) {
  CardFaults faults;
  faults.dropRegisters = {{12, std::nullopt}, {3, 2}};
  CardModel card(faults);
  Line line(card);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(line.Exchange({0x80, 12, 0x00, 0x8C}));
  EXPECT_FALSE(line.Exchange({0x00, 3, 0x01, 0x03}));
  EXPECT_FALSE(line.Exchange({0x80, 3, 0x00, 0x83}));
  EXPECT_EQ(line.Exchange({0x80, 3, 0x00, 0x83}), (Frame{0x80, 3, 0x01, 0x83}));
  EXPECT_EQ(line.Exchange({0x80, 13, 0x00, 0x8D}), (Frame{0x80, 13, 0x00, 0x8D}));
}

TEST(CardModel, HangsUpAtTheFirstByteAfterKRequests) {
  CardFaults faults;
  faults.hangupAfter = 2;
  CardModel card(faults);
  Line line(card);
  EXPECT_TRUE(line.Exchange({0x80, 0x01, 0x00, 0x81}));
  // Bad frames do not count.
  EXPECT_FALSE(line.Exchange({0x80, 0x01, 0x00, 0x00}));
  EXPECT_TRUE(line.Exchange({0x80, 0x02, 0x00, 0x82}));
  EXPECT_TRUE(line.Send({0x80}).back().hangup);

  faults.hangupAfter = 0;
  CardModel atOnce(faults);
  EXPECT_TRUE(atOnce.Receive(0x80, milliseconds(0)).hangup);
}

TEST(CardModel, GapStartsANewFrame) {
  CardModel card({}, {}, milliseconds(200));
  Line line(card);
  line.Send({0x80, 0x07});
  line.Pause(milliseconds(181));  // 201 ms after the last byte
  const std::vector<CardStep> steps = line.Send({0x80, 0x07, 0x00, 0x87});
  EXPECT_EQ(steps.front().discarded, (std::vector<std::uint8_t>{0x80, 0x07}));
  EXPECT_EQ(steps.back().reply, (Frame{0x80, 0x07, 0x00, 0x87}));

  // A pause of exactly the gap still belongs to the frame: a slow but steady PC is understood.
  line.Send({0x80, 0x07});
  line.Pause(milliseconds(180));
  const std::vector<CardStep> slow = line.Send({0x00, 0x87});
  EXPECT_TRUE(slow.front().discarded.empty());
  EXPECT_EQ(slow.back().reply, (Frame{0x80, 0x07, 0x00, 0x87}));
}

TEST(CardModel, RecoversFromRandomGarbageAfterAPause) {
  for (unsigned seed = 1; seed <= 200; ++seed) {
    std::mt19937 random(seed);
    CardModel card;
    Line line(card);
    std::vector<std::uint8_t> garbage(1 + random() % 23);
    for (std::uint8_t& b : garbage) b = static_cast<std::uint8_t>(random());
    line.Send(garbage);
    line.Pause(milliseconds(1000));
    EXPECT_EQ(line.Exchange({0x00, 0x11, 0x3C, 0x3D}), (Frame{0x00, 0x11, 0x3C, 0x3D}))
        << "seed " << seed;
    EXPECT_EQ(card.Image()[0x11], 0x3C);
  }
}

TEST(CardModel, MisalignedRequestFailsOnceThenTheCardIsBackInStep) {
  CardModel card;
  Line line(card);
  // One stray byte just before a request shifts the frame: the PC gets no reply, waits for its
  // time-outs and sends again.
  line.Send({0x55});
  EXPECT_FALSE(line.Exchange({0x80, 0x07, 0x00, 0x87}));
  line.Pause(milliseconds(1040));
  EXPECT_EQ(line.Exchange({0x80, 0x07, 0x00, 0x87}), (Frame{0x80, 0x07, 0x00, 0x87}));
}

}  // namespace
}  // namespace quorvex::sim
