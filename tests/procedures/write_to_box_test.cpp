// Tests of Write to box against the scripted card: full write, refusals, lost bytes.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/procedures/transfer_harness.h"

namespace quorvex::testing {
namespace {

class WriteTransferTest : public TransferTest {
 protected:
  WriteTransferTest() {
    std::copy(blankImage.begin(), blankImage.end(), ports.card.registers.begin());
  }
};

TEST_F(WriteTransferTest, AFullWriteSendsTheImageInRegisterOrderWithItsPausesAndDebugLines) {
  RegisterRecord record;
  seams.record = &record;
  EXPECT_EQ(SendenClick(seams), TransferOutcome::Done);
  EXPECT_TRUE(record.Complete());

  EXPECT_EQ(op.log, ExpectedWriteTrace({}));
  EXPECT_EQ(CardRegisters(), pcImage);
  EXPECT_EQ(ports.card.RequestedRegisters(), Registers(0, 40));
  EXPECT_EQ(registerAddress, 41);

  // The encoders' results for channel 1 (O2, V, 0.5, 10.0, 25.0) and the units V-mA-V-mA...
  EXPECT_EQ(op.log[12], "debug:KonfigByte:85");
  EXPECT_EQ(op.log[15], "debug:GasByte:0 OffsetByte:10 BereichsByte:200 MessbereichsWord:250");
  int debugLines = 0;
  for (const auto& line : op.log) debugLines += line.starts_with("debug:");
  EXPECT_EQ(debugLines, 18);

  // 41 exchanges of 8 byte pauses, the RTS pulse and the pause before the close.
  EXPECT_EQ(fakeClock.TotalMs(), 41 * 80 + 100 + 150);
  EXPECT_EQ(ElapsedMs(), 3530);
  EXPECT_FALSE(ports.Rts()) << "RTS is cleared last before the close";
  ExpectClosedAndRestored();
}

TEST_F(WriteTransferTest, APortThatIsNotAvailableGivesOnlyTheDialog) {
  for (int number : {-1, 0, 4}) {
    op.log.clear();
    ctx.comPortNumber = number;
    EXPECT_EQ(SendenClick(seams), TransferOutcome::PortNotAvailable);
    EXPECT_EQ(
        op.log,
        (Log{"status:Send configuration......", "port:open " + std::to_string(number) + " refused",
             "box:Quorvex|Port COM" + std::to_string(number) + " not available.|none"}));
  }
  EXPECT_TRUE(ports.card.requests.empty());
  EXPECT_EQ(fakeClock.TotalMs(), 0);
}

TEST_F(WriteTransferTest, AnInvalidChannelStopsTheCommandBeforeThePortIsTouched) {
  panel.SetText("Edit2", "6.0");  // channel 2 is mA: at most 5.0
  EXPECT_EQ(SendenClick(seams), TransferOutcome::NotValid);
  EXPECT_EQ(op.Statuses(), Log{"Send configuration......"});
  ASSERT_EQ(op.Boxes().size(), 1u);
  EXPECT_TRUE(op.Boxes()[0].starts_with("Configuration error Channel 2|")) << op.Boxes()[0];
  EXPECT_TRUE(ports.card.requests.empty());
  for (const auto& line : op.log) EXPECT_FALSE(line.starts_with("port:")) << line;
}

TEST_F(WriteTransferTest, ACardThatNeverAnswersEndsWithTheWriteErrorAfterTheKonfigByte) {
  ports.card.silent = true;
  SendenClick(seams);
  EXPECT_EQ(op.log, ExpectedWriteTrace({0}));
  EXPECT_EQ(ports.card.RequestedRegisters(), std::vector<std::uint16_t>{0});
  EXPECT_EQ(fakeClock.TotalMs(), 80 + 100 + 150);
  // About 1.1 s for the exchange that got no reply.
  EXPECT_EQ(ElapsedMs(), 80 + 4 * 250 + 100 + 150);
  ExpectClosedAndRestored();
}

TEST_F(WriteTransferTest, BadRepliesAreRepeatedUntilTheCardTakesTheByte) {
  ports.card.registerAnswers[17].assign(50, CardAnswer::BadCheck);
  SendenClick(seams);
  EXPECT_EQ(op.log, ExpectedWriteTrace({}));
  EXPECT_EQ(CardRegisters(), pcImage);
  EXPECT_EQ(ports.card.requests.size(), 41u + 50u);
  EXPECT_EQ(fakeClock.TotalMs(), 91 * 80 + 250);
}

TEST_F(WriteTransferTest, AByteThatIsNeverTakenIsReportedAndTheOthersStillGoToTheirRegisters) {
  ports.card.registerAnswers[17].assign(51, CardAnswer::BadCheck);
  SendenClick(seams);
  EXPECT_EQ(op.log, ExpectedWriteTrace({17}));
  ConfigImage expected = pcImage;
  expected[17] = blankImage[17];
  EXPECT_EQ(CardRegisters(), expected);
  EXPECT_EQ(fakeClock.TotalMs(), (40 + 51) * 80 + 250 + 1000);
}

TEST_F(WriteTransferTest, ALostGasByteOfChannel3IsReportedAndTheRestIsStillWritten) {
  ports.card.registerAnswers[11] = {CardAnswer::Silent};
  SendenClick(seams);
  EXPECT_EQ(op.log, ExpectedWriteTrace({11}));
  EXPECT_EQ(op.LastStatus(), "Error by writing on COM  3");
  ConfigImage expected = pcImage;
  expected[11] = blankImage[11];
  EXPECT_EQ(CardRegisters(), expected) << "registers 12 to 15 and channels 4 to 8 still written";
  EXPECT_EQ(ports.card.requests.size(), 41u);
  EXPECT_EQ(fakeClock.TotalMs(), 41 * 80 + 250 + 1000);
}

TEST_F(WriteTransferTest, ALostFifthByteOfChannel2EndsTheChannelLoop) {
  ports.card.registerAnswers[10] = {CardAnswer::Silent};
  SendenClick(seams);
  EXPECT_EQ(op.log, ExpectedWriteTrace({10}));
  ConfigImage expected = blankImage;
  std::copy(pcImage.begin(), pcImage.begin() + 10, expected.begin());
  EXPECT_EQ(CardRegisters(), expected) << "registers 11 to 40 are not written";
  EXPECT_EQ(registerAddress, 11);
  EXPECT_EQ(fakeClock.TotalMs(), 11 * 80 + 250 + 1000);
}

TEST_F(WriteTransferTest, APortTakenAfterItsTestFailsEveryExchangeAtOnce) {
  op.onBox = [this](std::string_view caption, std::string_view) {
    if (caption == "Transmission") ports.heldByOthers.insert(3);
  };
  EXPECT_EQ(SendenClick(seams), TransferOutcome::PortNotAvailable)
      << "the port was lost between its test and the open";
  EXPECT_EQ(op.log,
            (Log{"status:Send configuration......", "port:open 3", "port:close",
                 "box:Transmission|Connect analog box to PC via COM3|none", "cursor:wait",
                 "port:open 3 refused", "box:Fehler|COM-Schnittstelle nicht verf\xC3\xBCgbar|error",
                 "pause:50", "pause:50", "debug:", "debug:KonfigByte:85",
                 "status:Error by writing on COM  3", "pause:150", "cursor:normal",
                 "box:Transmission|Now release the connection between device and PC|none"}));
  EXPECT_TRUE(ports.card.requests.empty());
  EXPECT_EQ(ElapsedMs(), 250);
  ExpectClosedAndRestored();
}

TEST_F(WriteTransferTest, AnEncoderErrorStillRunsTheClosingStepsAndThenGoesOn) {
  panel.SetText("BereichEdit3", "abc");
  EXPECT_THROW(
      {
        try {
          SendConfiguration(seams);
        } catch (const ConversionError& e) {
          EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
          throw;
        }
      },
      ConversionError);

  const Log tail{"status:Transmitting configuration for channel  3",
                 "pause:150",
                 "port:rts off",
                 "port:close",
                 "cursor:normal",
                 "box:Transmission|Now release the connection between device and PC|none"};
  ASSERT_GE(op.log.size(), tail.size());
  EXPECT_EQ(Log(op.log.end() - static_cast<std::ptrdiff_t>(tail.size()), op.log.end()), tail);
  EXPECT_EQ(ports.card.requests.size(), 11u);
  ExpectClosedAndRestored();
}

}  // namespace
}  // namespace quorvex::testing
