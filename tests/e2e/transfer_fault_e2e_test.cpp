// Failures on the real line: the simulator's fault switches against the real termios backend and
// the real clock. The exact pause and status sequences of every failure are proven on virtual
// time in the link tests; these show that the same happens with real bytes, real time-outs and a
// real descriptor, and that the port is given back afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "core/config_image.h"
#include "core/errors.h"
#include "link/register_exchange.h"
#include "tests/e2e/e2e_fixture.h"

namespace quorvex::e2e {
namespace {

using Lines = std::vector<std::string>;

const std::string kConnectBox = "box:Transmission|Connect analog box to PC via COM1|none";
const std::string kReleaseBox =
    "box:Transmission|Now release the connection between device and PC|none";

std::vector<int> Range(int first, int last) {
  std::vector<int> out;
  for (int r = first; r <= last; ++r) out.push_back(r);
  return out;
}

template <typename Action>
long long MsTaken(Action action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Unlike the known configuration in every channel, units included.
constexpr testing::Configuration kOtherConfiguration{{
    {1, testing::kMilliamps, "4.0", "20.0", "500"},    // CO
    {0, testing::kVolts, "0.5", "9.5", "21.0"},        // O2
    {4, testing::kMilliamps, "1.0", "10.0", "99.9"},   // Eta
    {9, testing::kVolts, "0.1", "5.0", "300"},         // NO2
    {8, testing::kMilliamps, "3.0", "18.0", "2000"},   // SO2
    {11, testing::kVolts, "1.5", "8.0", "1000"},       // H2
    {13, testing::kMilliamps, "0.5", "12.0", "50.0"},  // Verluste
    {2, testing::kVolts, "2.0", "9.0", "1200"}         // TGas
}};

// The card's memory before a write: a pattern the known configuration never produces.
ConfigImage BlankImage() {
  ConfigImage image{};
  for (std::size_t r = 0; r < image.size(); ++r) image[r] = static_cast<std::uint8_t>(0xE0 + r % 7);
  return image;
}

const std::string kNoLowLatency =
    "debug:COM1: the driver offers no low latency mode (Inappropriate ioctl for device); the port "
    "is used as it is";

Lines WriteStatuses(int lastChannel, int channelWithError) {
  Lines statuses{"Send configuration......"};
  for (int n = 1; n <= lastChannel; ++n) {
    statuses.push_back("Transmitting configuration for channel  " + std::to_string(n));
    if (n == channelWithError) statuses.push_back("Transmission error");
  }
  statuses.push_back("Error by writing on COM  1");
  return statuses;
}

TEST_F(CardSimTest, ACardThatNeverAnswersFailsTheWriteAtTheKonfigByte) {
  FillKnownConfiguration(panel_);
  StartSimulator({"--silent"});
  TransferSeams s = Seams();
  const long long ms = MsTaken([&] { SendenClick(s); });

  // A pty has no low latency mode: said once at the open, and the port used as it is.
  EXPECT_EQ(op_.log, (Lines{"status:Send configuration......", kConnectBox, "cursor:wait",
                            kNoLowLatency, "debug:", "debug:KonfigByte:85",
                            "status:Error by writing on COM  1", "cursor:normal", kReleaseBox}));
  EXPECT_EQ(RequestedRegisters(), std::vector<int>{0});
  // Four reads that each waited out their time-out, the RTS pulse and the pause before the
  // close; no 1000 ms pause for the KonfigByte.
  EXPECT_GE(ms, 80 + 4 * 250 + 100 + 150);
  EXPECT_LT(ms, 80 + 4 * 250 + 100 + 150 + 1000);
  ExpectPortReleased();
}

TEST_F(CardSimTest, ACardThatNeverAnswersLeavesThePanelAsItWas) {
  testing::ShowConfiguration(panel_, kOtherConfiguration);
  const testing::PanelState before = testing::Snapshot(panel_);
  WriteImageFile(kKnownImage);
  StartSimulator({"--silent"});
  TransferSeams s = Seams();
  const long long ms = MsTaken([&] { EmpfangenClick(s); });

  EXPECT_EQ(op_.log,
            (Lines{"status:configuration received...", kNoLowLatency, kConnectBox, "cursor:wait",
                   "status:Transmission error", "status:Error by configuration reading",
                   "cursor:normal", kReleaseBox}));
  EXPECT_EQ(testing::Snapshot(panel_), before)
      << "no unit may come from a KonfigByte that never arrived";
  EXPECT_EQ(RequestedRegisters(), std::vector<int>{0});
  EXPECT_GE(ms, 80 + 4 * 250 + 50 + 1000);
  EXPECT_LT(ms, 80 + 4 * 250 + 50 + 1000 + 1000);
  ExpectPortReleased();
}

TEST_F(CardSimTest, RepliesWithAWrongCheckByteAreAskedForAgainUpTo51Times) {
  ConfigImage image{};
  image[8] = 0xC3;
  WriteImageFile(image);
  StartSimulator({"--bad-check", "101"});
  port_.OpenComPort();
  ASSERT_TRUE(port_.IsOpen());

  // 51 bad replies: the exchange gives up, holding the data byte of the last one.
  std::uint8_t reply = 0;
  EXPECT_FALSE(RegisterExchange(port_, 7, 0x5A, Direction::Write, reply));
  EXPECT_EQ(reply, 0x5A);
  // The other 50, then a good reply: the line is still in step after 101 repeats.
  EXPECT_TRUE(RegisterExchange(port_, 8, 0, Direction::Read, reply));
  EXPECT_EQ(reply, 0xC3);
  port_.CloseComPort();

  std::vector<int> expected(51, 7);
  expected.insert(expected.end(), 51, 8);
  EXPECT_EQ(RequestedRegisters(), expected);
  ExpectPortReleased();
}

TEST_F(CardSimTest, ALostReplyToTheGasByteOfChannel3StillWritesEverythingElse) {
  FillKnownConfiguration(panel_);
  WriteImageFile(BlankImage());
  StartSimulator({"--drop-register", "11"});
  TransferSeams s = Seams();
  SendenClick(s);

  EXPECT_EQ(op_.Statuses(), WriteStatuses(8, 3));
  EXPECT_EQ(RequestedRegisters(), Range(0, 40));
  EXPECT_EQ(registerAddress_, 41);
  EXPECT_EQ(op_.log.back(), kReleaseBox);
  ExpectPortReleased();
  // Only the reply was lost: the card took the byte as well.
  EXPECT_EQ(ReadImageFile(), kKnownImage);
}

TEST_F(CardSimTest, ALostReplyToTheLastByteOfChannel2EndsTheWrite) {
  FillKnownConfiguration(panel_);
  const ConfigImage blank = BlankImage();
  WriteImageFile(blank);
  StartSimulator({"--drop-register", "10"});
  TransferSeams s = Seams();
  SendenClick(s);

  EXPECT_EQ(op_.Statuses(), WriteStatuses(2, 2));
  EXPECT_EQ(RequestedRegisters(), Range(0, 10));
  ConfigImage expected = blank;
  std::copy(kKnownImage.begin(), kKnownImage.begin() + 11, expected.begin());
  EXPECT_EQ(registerAddress_, 11);
  EXPECT_EQ(op_.log.back(), kReleaseBox);
  ExpectPortReleased();
  EXPECT_EQ(ReadImageFile(), expected) << "registers 11 to 40 must not be written";
}

TEST_F(CardSimTest, ALostOffsetByteOfChannel5KeepsChannels5To8AsTheyWere) {
  MemoryPanel fromCard;
  FillKnownConfiguration(fromCard);
  const testing::PanelState cardState = testing::Snapshot(fromCard);
  testing::ShowConfiguration(panel_, kOtherConfiguration);
  const testing::PanelState before = testing::Snapshot(panel_);
  WriteImageFile(kKnownImage);
  StartSimulator({"--drop-register", "22"});
  TransferSeams s = Seams();
  EmpfangenClick(s);

  Lines statuses{"configuration received..."};
  for (int n = 1; n <= 5; ++n) {
    statuses.push_back("Receiving configuration from channel  " + std::to_string(n));
    statuses.push_back(n < 5 ? "Configuration  loaded" : "Transmission error");
  }
  statuses.push_back("Error by configuration reading");
  EXPECT_EQ(op_.Statuses(), statuses);
  EXPECT_EQ(RequestedRegisters(), Range(0, 22)) << "registers 23 to 25 are not requested";
  const testing::PanelState after = testing::Snapshot(panel_);
  for (std::size_t i = 0; i < after.size(); ++i) {
    const int n = static_cast<int>(i) + 1;  // one of eight
    EXPECT_EQ(after[i], n < 5 ? cardState[i] : before[i]) << "channel " << n;
  }
  EXPECT_EQ(op_.log.back(), kReleaseBox);
  ExpectPortReleased();
}

TEST_F(CardSimTest, AnEncoderErrorMidWriteClosesThePortAndReachesTheCaller) {
  FillKnownConfiguration(panel_);
  panel_.SetText("BereichEdit3", "abc");
  StartSimulator();
  TransferSeams s = Seams();
  EXPECT_THROW(SendConfiguration(s), ConversionError);

  EXPECT_EQ(RequestedRegisters(), Range(0, 10));
  EXPECT_EQ(op_.Statuses().back(), "Transmitting configuration for channel  3");
  EXPECT_EQ(Lines(op_.log.end() - 2, op_.log.end()), (Lines{"cursor:normal", kReleaseBox}));
  ExpectPortReleased();
}

}  // namespace
}  // namespace quorvex::e2e
