// Tests of Read from box against the scripted card: full read, lost replies, held ports.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/errors.h"
#include "tests/procedures/transfer_harness.h"

namespace quorvex::testing {
namespace {

class ReadTransferTest : public TransferTest {
 protected:
  ReadTransferTest() {
    std::copy(cardImage.begin(), cardImage.end(), ports.card.registers.begin());
  }
};

TEST_F(ReadTransferTest, AFullReadAppliesEveryChannelWithItsUnitAndRefreshesTheDisplay) {
  RegisterRecord record;
  seams.record = &record;
  EXPECT_EQ(EmpfangenClick(seams), TransferOutcome::Done);
  EXPECT_TRUE(record.Complete());
  EXPECT_EQ(record.values, cardImage) << "the card's bytes as they came, not as re-encoded";

  EXPECT_EQ(op.log, ExpectedReadTrace(-1));
  ExpectChannelsFromCardBefore(9);
  EXPECT_EQ(panel.Text("MessEdit5"), "2000") << "high byte 0x07 and low byte 0xD0";
  EXPECT_EQ(ports.card.RequestedRegisters(), Registers(0, 40));
  for (const auto& frame : ports.card.requests) EXPECT_EQ(frame[2], 0);
  EXPECT_EQ(CardRegisters(), cardImage);
  EXPECT_EQ(op.LastStatus(), "Configuration  loaded");
  EXPECT_EQ(registerAddress, 0);

  // 41 exchanges of 8 byte pauses and the RTS pulse; no pause before the close.
  EXPECT_EQ(fakeClock.TotalMs(), 41 * 80 + 50);
  EXPECT_EQ(ElapsedMs(), 3330);
  EXPECT_TRUE(ports.Rts()) << "a read leaves RTS set";
  ExpectClosedAndRestored();
}

TEST_F(ReadTransferTest, APortThatIsNotAvailableGivesOnlyTheDialog) {
  for (int number : {0, -1}) {
    op.log.clear();
    ctx.comPortNumber = number;
    EXPECT_EQ(EmpfangenClick(seams), TransferOutcome::PortNotAvailable);
    EXPECT_EQ(op.log,
              (Log{"port:open " + std::to_string(number) + " refused",
                   "box:Quorvex|Port COM" + std::to_string(number) + " not available.|none"}));
  }
  ExpectChannelsFromCardBefore(1);
  EXPECT_EQ(fakeClock.TotalMs(), 0);
}

TEST_F(ReadTransferTest, ACardThatNeverAnswersChangesNothing) {
  ports.card.silent = true;
  EmpfangenClick(seams);
  EXPECT_EQ(op.log, ExpectedReadTrace(0));
  ExpectChannelsFromCardBefore(1);
  EXPECT_EQ(ports.card.RequestedRegisters(), std::vector<std::uint16_t>{0});
  EXPECT_EQ(fakeClock.TotalMs(), 80 + 50 + 1000);
  EXPECT_EQ(ElapsedMs(), 80 + 4 * 250 + 50 + 1000);
  ExpectClosedAndRestored();
}

TEST_F(ReadTransferTest, ABadKonfigByteReplyIsRepeatedAndTheReadGoesOn) {
  ports.card.registerAnswers[0].assign(50, CardAnswer::BadCheck);
  EmpfangenClick(seams);
  EXPECT_EQ(op.log, ExpectedReadTrace(-1));
  ExpectChannelsFromCardBefore(9);
  EXPECT_EQ(fakeClock.TotalMs(), 91 * 80 + 50);
}

TEST_F(ReadTransferTest, ALostOffsetByteOfChannel5KeepsChannels5To8AsTheyWere) {
  ports.card.registerAnswers[22] = {CardAnswer::Silent};
  EmpfangenClick(seams);
  EXPECT_EQ(op.log, ExpectedReadTrace(22));
  ExpectChannelsFromCardBefore(5);
  EXPECT_EQ(ports.card.RequestedRegisters(), Registers(0, 22))
      << "registers 23 to 25 are not requested";
  EXPECT_EQ(op.LastStatus(), "Error by configuration reading");
  EXPECT_EQ(fakeClock.TotalMs(), 23 * 80 + 50 + 1000);
}

TEST_F(ReadTransferTest, APortTakenAfterItsTestFailsTheKonfigByteAndChangesNothing) {
  int opens = 0;
  ports.onOpen = [&](int) {
    if (++opens == 2) ports.heldByOthers.insert(3);
  };
  EmpfangenClick(seams);
  EXPECT_EQ(op.log,
            (Log{"port:open 3", "port:close", "status:configuration received...",
                 "port:open 3 refused", "box:Fehler|COM-Schnittstelle nicht verf\xC3\xBCgbar|error",
                 "box:Transmission|Connect analog box to PC via COM3|none", "cursor:wait",
                 "pause:50", "status:Transmission error", "pause:1000",
                 "status:Error by configuration reading", "cursor:normal",
                 "box:Transmission|Now release the connection between device and PC|none"}));
  ExpectChannelsFromCardBefore(1);
  EXPECT_TRUE(ports.card.requests.empty());
  ExpectClosedAndRestored();
}

TEST_F(ReadTransferTest, ASecondCommandDuringTheReadFindsThePortHeldAndTheReadGoesOn) {
  int events = 0;
  op.onEvents = [&] {
    if (++events == 2) EmpfangenClick(seams);
  };
  EmpfangenClick(seams);
  Log expected = ExpectedReadTrace(-1);
  const auto second = std::find(expected.begin(), expected.end(), "events") + 1;
  const auto at = std::find(second, expected.end(), "events") + 1;
  expected.insert(at, {"port:open 3 refused", "box:Quorvex|Port COM3 not available.|none"});
  EXPECT_EQ(op.log, expected);
  ExpectChannelsFromCardBefore(9);
}

TEST_F(ReadTransferTest, ARefreshErrorIsReportedAfterTheLastClosingStep) {
  // Channel 8 is not read, so its text reaches the refresh, which cannot show it in single
  // precision.
  panel.SetText("MessEdit8", "1e39");
  ports.card.registerAnswers[22] = {CardAnswer::Silent};
  EXPECT_THROW(EmpfangenClick(seams), FloatOverflowError);
  const Log tail{"port:close", "cursor:normal",
                 "box:Transmission|Now release the connection between device and PC|none"};
  EXPECT_EQ(Log(op.log.end() - 3, op.log.end()), tail);
  ExpectClosedAndRestored();
}

TEST_F(ReadTransferTest, AnErrorDuringTheReadWinsOverALaterRefreshError) {
  panel.SetText("MessEdit8", "1e39");
  int events = 0;
  op.onEvents = [&] {
    if (++events == 3) throw std::runtime_error("window gone");
  };
  try {
    EmpfangenClick(seams);
    ADD_FAILURE() << "the error must reach the caller";
  } catch (const FloatOverflowError&) {
    ADD_FAILURE() << "the refresh error hid the first one";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "window gone");
  }
  const Log tail{"events", "port:close", "cursor:normal",
                 "box:Transmission|Now release the connection between device and PC|none"};
  EXPECT_EQ(Log(op.log.end() - 4, op.log.end()), tail);
  ExpectClosedAndRestored();
  // Channels 1 and 2 were applied before the error.
  EXPECT_EQ(Snapshot(panel)[1].quantity, cardState[1].quantity);
  EXPECT_EQ(Snapshot(panel)[1].unit, cardState[1].unit);
}

}  // namespace
}  // namespace quorvex::testing
