// Tests of the register frame and the exchange: repeats, missing bytes, late bytes.
#include "link/register_exchange.h"

#include <gtest/gtest.h>

#include "tests/link/fake_serial.h"

namespace quorvex::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class RegisterExchangeTest : public ::testing::Test, public ComPortRig {
 protected:
  RegisterExchangeTest() { port.OpenComPort(); }
};

TEST(RequestFrameTest, LaysOutAddressDirectionDataAndCheck) {
  EXPECT_EQ(BuildRequestFrame(7, 0x5A, Direction::Write), (RequestFrame{0x00, 0x07, 0x5A, 0x5F}));
  EXPECT_EQ(BuildRequestFrame(7, 0, Direction::Read), (RequestFrame{0x80, 0x07, 0x00, 0x87}));
  // Bit 15 of the address is dropped; bit 7 of byte 0 carries the direction alone.
  EXPECT_EQ(BuildRequestFrame(0x8123, 0, Direction::Write), (RequestFrame{0x01, 0x23, 0x00, 0x23}));
  EXPECT_EQ(BuildRequestFrame(0x8123, 0, Direction::Read), (RequestFrame{0x81, 0x23, 0x00, 0xA3}));
  EXPECT_EQ(BuildRequestFrame(40, 0xFF, Direction::Write), (RequestFrame{0x00, 0x28, 0xFF, 0xFF}));
}

TEST_F(RegisterExchangeTest, WriteAndReadSendExactFramesAndUseTheCardsData) {
  std::uint8_t reply = 0xEE;
  ASSERT_TRUE(RegisterExchange(port, 7, 0x5A, Direction::Write, reply));
  EXPECT_EQ(reply, 0x5A);
  EXPECT_EQ(ports.card.registers[7], 0x5A);

  ports.card.registers[9] = 0xC3;
  ASSERT_TRUE(RegisterExchange(port, 9, 0x77, Direction::Read, reply));
  EXPECT_EQ(reply, 0xC3);
  EXPECT_EQ(ports.card.registers[9], 0xC3) << "a read must not store its data byte";

  EXPECT_EQ(ports.written, (Bytes{0x00, 0x07, 0x5A, 0x5F, 0x80, 0x09, 0x00, 0x89}));
  // Four bytes out and four in, each with its 10 ms pause; the card answered at once.
  EXPECT_EQ(clock.TotalMs(), 2 * 80);
  EXPECT_EQ(ElapsedMs(), 2 * 80);
}

TEST_F(RegisterExchangeTest, FiftyBadRepliesThenAGoodOneSucceedAfter51IdenticalSends) {
  ports.card.nextAnswers.assign(50, CardAnswer::BadCheck);
  ports.card.registers[12] = 0x42;
  std::uint8_t reply = 0;
  EXPECT_TRUE(RegisterExchange(port, 12, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0x42);
  ASSERT_EQ(ports.card.requests.size(), 51u);
  for (const auto& frame : ports.card.requests) EXPECT_EQ(frame, (RequestFrame{0x80, 12, 0, 0x8C}));
  EXPECT_EQ(clock.TotalMs(), 51 * 80);
}

TEST_F(RegisterExchangeTest, The51stBadReplyEndsTheExchangeWithFailure) {
  ports.card.nextAnswers.assign(52, CardAnswer::BadCheck);
  ports.card.registers[3] = 0x99;
  std::uint8_t reply = 0;
  EXPECT_FALSE(RegisterExchange(port, 3, 0x10, Direction::Write, reply));
  EXPECT_EQ(ports.card.requests.size(), 51u);
  // The output is still r2 of the last reply, even though it failed its check.
  EXPECT_EQ(reply, 0x99);
  EXPECT_EQ(ports.card.registers[3], 0x99);
  EXPECT_TRUE(ports.incoming.empty());
}

TEST_F(RegisterExchangeTest, AMissingThirdByteFailsWithOutputZeroAfterReadingTheFourth) {
  ports.card.registers[5] = 0x33;
  ports.card.nextAnswers = {CardAnswer::MissingThirdByte};
  std::uint8_t reply = 0xEE;
  EXPECT_FALSE(RegisterExchange(port, 5, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0);
  EXPECT_EQ(ports.card.requests.size(), 1u) << "a read that got nothing ends the exchange";
  EXPECT_TRUE(ports.incoming.empty()) << "the fourth byte must still be read";
  EXPECT_EQ(ElapsedMs(), 80 + FakeSerialPorts::kReadTimeoutMs);
}

TEST_F(RegisterExchangeTest, ACardThatNeverAnswersFailsAfterOnePassOfAboutASecond) {
  ports.card.silent = true;
  std::uint8_t reply = 0xEE;
  EXPECT_FALSE(RegisterExchange(port, 0, 0x81, Direction::Write, reply));
  EXPECT_EQ(reply, 0);
  EXPECT_EQ(ports.card.requests.size(), 1u);
  EXPECT_EQ(clock.TotalMs(), 80);
  EXPECT_EQ(ElapsedMs(), 80 + 4 * FakeSerialPorts::kReadTimeoutMs);
}

TEST_F(RegisterExchangeTest, RepliesAreJudgedByTheirCheckByteAlone) {
  // All zeros pass their own check.
  ports.card.silent = true;
  ports.incoming = {0x00, 0x00, 0x00, 0x00};
  std::uint8_t reply = 0xEE;
  EXPECT_TRUE(RegisterExchange(port, 20, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0);

  // r0 and r1 need not echo the request.
  ports.card.silent = false;
  ports.card.registers[21] = 0x05;
  ports.card.nextAnswers = {CardAnswer::ForeignHeader};
  EXPECT_TRUE(RegisterExchange(port, 21, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0x05);
  EXPECT_EQ(ports.card.requests.size(), 2u);
}

TEST_F(RegisterExchangeTest, LateBytesAreReadAsPartOfTheNextReply) {
  ports.card.registers[7] = 0x70;
  ports.card.registers[8] = 0x80;
  // A stale bad frame still waits in the line: the first pass reads it, so the first real reply
  // is consumed by the second pass and the reply to the repeat is left over.
  ports.incoming = {0x01, 0x02, 0x03, 0x00};
  std::uint8_t reply = 0;
  EXPECT_TRUE(RegisterExchange(port, 7, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0x70);
  EXPECT_EQ(ports.card.requests.size(), 2u);
  EXPECT_EQ(ports.incoming.size(), 4u);

  // The next exchange takes the leftover reply for register 7 as its own.
  EXPECT_TRUE(RegisterExchange(port, 8, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0x70);
}

TEST_F(RegisterExchangeTest, WithThePortClosedEveryExchangeFailsAtOnce) {
  port.CloseComPort();
  std::uint8_t reply = 0xEE;
  EXPECT_FALSE(RegisterExchange(port, 1, 2, Direction::Write, reply));
  EXPECT_EQ(reply, 0);
  EXPECT_TRUE(ports.card.requests.empty());
  EXPECT_EQ(ElapsedMs(), 0);
}

}  // namespace
}  // namespace quorvex::testing
