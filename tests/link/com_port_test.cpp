// Tests of the transfers' COM port: open and close, the "Fehler" box, byte pauses, probing.
#include "link/com_port.h"

#include <gtest/gtest.h>

#include "tests/link/fake_serial.h"

namespace quorvex::testing {
namespace {

using Log = std::vector<std::string>;

class ComPortTest : public ::testing::Test, public ComPortRig {
 protected:
  ComPortTest() { ports.trace = &op.log; }
};

TEST_F(ComPortTest, OpenConfiguresAndCloseReleasesThePort) {
  port.OpenComPort();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_TRUE(ports.IsHeld(3));
  port.SetRts();
  EXPECT_TRUE(ports.Rts());
  port.ClearRts();
  EXPECT_FALSE(ports.Rts());
  port.CloseComPort();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(ports.IsHeld(3));
  port.CloseComPort();
  EXPECT_EQ(op.log,
            (Log{"port:open 3", "port:configure", "port:rts on", "port:rts off", "port:close"}));
}

TEST_F(ComPortTest, AFailedOpenShowsTheGermanBoxAndEveryOperationDoesNothing) {
  ports.heldByOthers.insert(3);
  port.OpenComPort();
  EXPECT_FALSE(port.IsOpen());
  port.SetRts();
  port.ClearRts();
  std::uint8_t b = 0x55;
  EXPECT_FALSE(port.WriteComByte(0x12));
  EXPECT_FALSE(port.ReadComByte(b));
  EXPECT_EQ(b, 0);
  port.CloseComPort();
  EXPECT_EQ(op.log, (Log{"port:open 3 refused",
                         "box:Fehler|COM-Schnittstelle nicht verf\xC3\xBCgbar|error"}));
  EXPECT_TRUE(ports.written.empty());
  EXPECT_EQ(ElapsedMs(), 0) << "nothing is paused on a port that is not open";
}

TEST_F(ComPortTest, ByteOperationsPauseAndReportWhatCame) {
  port.OpenComPort();
  EXPECT_TRUE(port.WriteComByte(0x80));
  EXPECT_EQ(ports.written, std::vector<std::uint8_t>{0x80});
  EXPECT_EQ(ElapsedMs(), 10);

  ports.incoming = {0xA7};
  std::uint8_t b = 0;
  EXPECT_TRUE(port.ReadComByte(b));
  EXPECT_EQ(b, 0xA7);
  EXPECT_EQ(ElapsedMs(), 20);

  // Nothing comes: 10 ms pause, the whole time-out, and b cleared.
  b = 0x5C;
  EXPECT_FALSE(port.ReadComByte(b));
  EXPECT_EQ(b, 0);
  EXPECT_EQ(ElapsedMs(), 30 + FakeSerialPorts::kReadTimeoutMs);
  EXPECT_EQ(clock.pauses, (std::vector<int>{10, 10, 10}));
}

TEST_F(ComPortTest, OpeningDropsWhatTheCardSentBefore) {
  ports.incoming = {0x01, 0x02};
  port.OpenComPort();
  std::uint8_t b = 0;
  EXPECT_FALSE(port.ReadComByte(b));
}

TEST_F(ComPortTest, AvailabilityOpensAndClosesAtOnceWithoutTouchingTheTransfersPort) {
  ports.present.insert(4);
  ports.present.insert(5);
  ports.heldByOthers.insert(5);
  EXPECT_TRUE(port.ComPortAvailable(3));
  EXPECT_FALSE(ports.IsHeld(3));
  EXPECT_TRUE(port.ComPortAvailable(4));
  EXPECT_FALSE(port.ComPortAvailable(5));
  EXPECT_FALSE(port.ComPortAvailable(-1));
  EXPECT_FALSE(port.ComPortAvailable(0));

  port.OpenComPort();
  EXPECT_FALSE(port.ComPortAvailable(3)) << "a port this program holds is not available";
  EXPECT_TRUE(port.IsOpen());
  EXPECT_TRUE(ports.IsHeld(3));
  EXPECT_TRUE(op.Boxes().empty());
}

TEST_F(ComPortTest, ThePortIsClosedWhenTheObjectGoes) {
  {
    ComPort scoped{ports, clock, op, ctx};
    scoped.OpenComPort();
    EXPECT_TRUE(ports.IsHeld(3));
  }
  EXPECT_FALSE(ports.IsHeld(3));
}

// The backend's failed system calls must reach the debug log (the command line's trace), and
// must stop reaching an operator that may be gone with the port object.
TEST(ComPortLineReport, ReachesTheDebugLogWhileThePortObjectLives) {
  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeOperator op;
  AppContext ctx;
  {
    ComPort port{ports, clock, op, ctx};
    ASSERT_TRUE(ports.lineReport);
    ports.lineReport("COM3: SetCommState failed with error 87");
  }
  EXPECT_EQ(op.log, Log{"debug:COM3: SetCommState failed with error 87"});
  EXPECT_FALSE(ports.lineReport);
}

}  // namespace
}  // namespace quorvex::testing
