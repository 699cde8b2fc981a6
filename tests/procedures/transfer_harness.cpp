// The transfer fixture's two configurations and the traces a write or read should leave.
#include "tests/procedures/transfer_harness.h"

#include "core/text_set.h"

namespace quorvex::testing {

namespace {
// Every channel differs from the card's in every field, the unit included.
const Configuration kPcConfiguration{{
    {0, 0, "0.5", "10.0", "25.0"},   // O2
    {1, 1, "4.0", "20.0", "1000"},   // CO
    {2, 0, "0.0", "10.0", "500"},    // TGas
    {3, 1, "2.0", "16.0", "2.00"},   // Lambda
    {4, 0, "1.0", "5.0", "100.0"},   // Eta
    {5, 1, "0.0", "20.0", "20.0"},   // CO2
    {7, 0, "2.5", "10.2", "2000"},   // NO
    {14, 1, "5.0", "20.4", "65000"}  // Sens6
}};
const Configuration kCardConfiguration{{
    {1, 1, "4.0", "20.0", "500"},    // CO
    {0, 0, "0.5", "9.5", "21.0"},    // O2
    {4, 1, "1.0", "10.0", "99.9"},   // Eta
    {9, 0, "0.1", "5.0", "300"},     // NO2
    {8, 1, "3.0", "18.0", "2000"},   // SO2: word 0x07D0
    {11, 0, "1.5", "8.0", "1000"},   // H2
    {13, 1, "0.5", "12.0", "50.0"},  // Verluste
    {2, 0, "2.0", "9.0", "1200"}     // TGas
}};

void Append(Log& log, std::initializer_list<std::string> lines) {
  log.insert(log.end(), lines.begin(), lines.end());
}
}  // namespace

std::vector<std::uint16_t> Registers(int first, int last) {
  std::vector<std::uint16_t> out;
  for (int r = first; r <= last; ++r) out.push_back(static_cast<std::uint16_t>(r));
  return out;
}

void TracingClock::Sleep(int milliseconds) {
  clock_.Sleep(milliseconds);
  if (milliseconds != 10) trace_.push_back("pause:" + std::to_string(milliseconds));
}

TransferTest::TransferTest() {
  ctx.comPortNumber = 3;
  ctx.texts = EnglishTextSet();
  ports.trace = &op.log;

  ShowConfiguration(panel, kPcConfiguration);
  pcState = Snapshot(panel);
  pcImage = EncodeConfiguration(panel);

  MemoryPanel cardPanel;
  ShowConfiguration(cardPanel, kCardConfiguration);
  cardState = Snapshot(cardPanel);
  cardImage = EncodeConfiguration(cardPanel);

  for (std::size_t r = 0; r < blankImage.size(); ++r) {
    blankImage[r] = static_cast<std::uint8_t>(0xE0 + r % 7);
  }
}

long long TransferTest::ElapsedMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             fakeClock.Now() - std::chrono::steady_clock::time_point{})
      .count();
}

void TransferTest::ExpectClosedAndRestored() const {
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(ports.IsHeld(3));
  EXPECT_FALSE(op.waitCursor);
}

void TransferTest::ExpectChannelsFromCardBefore(int firstKept) const {
  const PanelState now = Snapshot(panel);
  for (std::size_t i = 0; i < now.size(); ++i) {
    const int n = static_cast<int>(i) + 1;  // one of eight
    EXPECT_EQ(now[i], n < firstKept ? cardState[i] : pcState[i]) << "channel " << n;
  }
}

ConfigImage TransferTest::CardRegisters() const {
  ConfigImage image{};
  std::copy(ports.card.registers.begin(), ports.card.registers.end(), image.begin());
  return image;
}

Log TransferTest::ExpectedWriteTrace(const std::set<int>& failing) const {
  Log t{"status:Send configuration......",
        "port:open 3",
        "port:close",
        "box:Transmission|Connect analog box to PC via COM3|none",
        "cursor:wait",
        "port:open 3",
        "port:configure",
        "port:rts off",
        "pause:50",
        "port:rts on",
        "pause:50",
        "debug:",
        "debug:KonfigByte:" + std::to_string(pcImage[0])};
  bool everyByteTaken = !failing.count(0);
  if (everyByteTaken) {
    for (int n = 1; n <= 8; ++n) {
      const std::size_t first = ChannelOffset(n);
      Append(t, {"status:Transmitting configuration for channel  " + std::to_string(n),
                 "debug:Kanal " + std::to_string(n),
                 "debug:GasByte:" + std::to_string(pcImage[first]) +
                     " OffsetByte:" + std::to_string(pcImage[first + 1]) +
                     " BereichsByte:" + std::to_string(pcImage[first + 2]) + " MessbereichsWord:" +
                     std::to_string(pcImage[first + 3] * 256 + pcImage[first + 4])});
      bool lastTaken = true;
      for (std::size_t r = first; r < first + 5; ++r) {
        lastTaken = !failing.count(static_cast<int>(r));
        if (!lastTaken) {
          Append(t, {"status:Transmission error", "pause:1000"});
          everyByteTaken = false;
        }
      }
      if (!lastTaken) break;
    }
  }
  Append(t, {everyByteTaken ? "status:Channel configuration written"
                            : "status:Error by writing on COM  3",
             "pause:150", "port:rts off", "port:close", "cursor:normal",
             "box:Transmission|Now release the connection between device and PC|none"});
  return t;
}

Log TransferTest::ExpectedReadTrace(int failing) {
  Log t{"port:open 3", "port:close",     "status:configuration received...",
        "port:open 3", "port:configure", "box:Transmission|Connect analog box to PC via COM3|none",
        "cursor:wait", "port:rts off",   "pause:50",
        "port:rts on"};
  const std::initializer_list<std::string> failure{"status:Transmission error", "pause:1000",
                                                   "status:Error by configuration reading"};
  if (failing == 0) {
    Append(t, failure);
  } else {
    for (int n = 1; n <= 8; ++n) {
      Append(t, {"events", "status:Receiving configuration from channel  " + std::to_string(n)});
      if (failing >= static_cast<int>(ChannelOffset(n)) && failing <= 5 * n) {
        Append(t, failure);
        break;
      }
      Append(t, {"status:Configuration  loaded"});
    }
  }
  Append(t, {"port:close", "cursor:normal",
             "box:Transmission|Now release the connection between device and PC|none"});
  return t;
}

}  // namespace quorvex::testing
