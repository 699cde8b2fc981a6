// Tests of the card session: the window-free front end's write, read and compare on the fake line.
#include "procedures/card_session.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/procedures/transfer_harness.h"

namespace quorvex::testing {
namespace {

class CardSessionTest : public TransferTest {
 protected:
  CardSession session{panel, op, ports, clock, ctx};
};

TEST_F(CardSessionTest, AWriteThenAReadRunEndToEndAsTheMenuCommandsDo) {
  std::copy(blankImage.begin(), blankImage.end(), ports.card.registers.begin());
  EXPECT_EQ(session.Write(), TransferOutcome::Done);
  EXPECT_EQ(op.log, ExpectedWriteTrace({}));
  EXPECT_EQ(CardRegisters(), pcImage);
  EXPECT_EQ(session.Record().values, pcImage);
  EXPECT_EQ(session.RegisterAddress(), 41);

  std::copy(cardImage.begin(), cardImage.end(), ports.card.registers.begin());
  op.log.clear();
  EXPECT_EQ(session.Read(), TransferOutcome::Done);
  EXPECT_EQ(op.log, ExpectedReadTrace(-1));
  ExpectChannelsFromCardBefore(9);
  EXPECT_EQ(session.Record().values, cardImage);
  ExpectClosedAndRestored();
}

TEST_F(CardSessionTest, EachTransferKeepsARecordOfItsOwnRegistersOnly) {
  EXPECT_EQ(session.Write(), TransferOutcome::Done);
  ASSERT_TRUE(session.Record().Complete());
  ports.card.registerAnswers[12] = {CardAnswer::Silent};
  EXPECT_EQ(session.Read(), TransferOutcome::Failed);
  EXPECT_FALSE(session.Record().good[12]);
  EXPECT_FALSE(session.Record().good[20]) << "never read, though the write reached it";
}

TEST_F(CardSessionTest, CompareReadsTheCardAsideAndListsWhatDiffers) {
  std::copy(cardImage.begin(), cardImage.end(), ports.card.registers.begin());
  const CardComparison differing = session.Compare();
  EXPECT_EQ(differing.outcome, TransferOutcome::Done);
  EXPECT_EQ(Snapshot(panel), pcState) << "the compared panel stays as it is";
  EXPECT_EQ(session.Record().values, cardImage);
  ASSERT_FALSE(differing.differences.empty());
  EXPECT_EQ(differing.differences.front().channel, 1);

  std::copy(pcImage.begin(), pcImage.end(), ports.card.registers.begin());
  EXPECT_TRUE(session.Compare().differences.empty());

  ports.card.silent = true;
  const CardComparison unanswered = session.Compare();
  EXPECT_EQ(unanswered.outcome, TransferOutcome::Failed);
  EXPECT_TRUE(unanswered.differences.empty());
}

// One card on one port with everything a session is given, as a front end per thread has it.
struct Bench {
  explicit Bench(const ConfigImage& image) {
    ctx.comPortNumber = 3;
    ctx.texts = EnglishTextSet();
    FillLists(panel);
    ApplyConfiguration(panel, image);
  }
  FakeClock clock;
  FakeOperator op;
  FakeSerialPorts ports{clock};
  AppContext ctx;
  MemoryPanel panel;
  CardSession session{panel, op, ports, clock, ctx};
};

TEST_F(CardSessionTest, SessionsOnTwoThreadsEachWriteTheirOwnCard) {
  Bench first(pcImage);
  Bench second(cardImage);
  TransferOutcome firstOutcome = TransferOutcome::Failed;
  TransferOutcome secondOutcome = TransferOutcome::Failed;
  std::thread a([&] { firstOutcome = first.session.Write(); });
  std::thread b([&] { secondOutcome = second.session.Write(); });
  a.join();
  b.join();
  EXPECT_EQ(firstOutcome, TransferOutcome::Done);
  EXPECT_EQ(secondOutcome, TransferOutcome::Done);
  EXPECT_TRUE(std::equal(pcImage.begin(), pcImage.end(), first.ports.card.registers.begin()));
  EXPECT_TRUE(std::equal(cardImage.begin(), cardImage.end(), second.ports.card.registers.begin()));
  EXPECT_EQ(first.session.Record().values, pcImage);
  EXPECT_EQ(second.session.Record().values, cardImage);
}

}  // namespace
}  // namespace quorvex::testing
