// Tests of every exchange of a write and a read failing in turn, checked trace by trace.
#include <gtest/gtest.h>

#include "tests/procedures/transfer_harness.h"

namespace quorvex::testing {
namespace {

// Every exchange of a transfer fails in turn; each run checks the whole trace, the registers
// requested and written, the channels changed, the pauses and the state left behind.

class WriteFaultMatrixTest : public TransferTest, public ::testing::WithParamInterface<int> {
 protected:
  void RunAndCheck(const std::set<int>& failing) {
    for (int r : failing) {
      ports.card.registerAnswers[static_cast<std::uint16_t>(r)] = {CardAnswer::Silent};
    }
    std::copy(blankImage.begin(), blankImage.end(), ports.card.registers.begin());
    RegisterRecord record;
    seams.record = &record;

    EXPECT_EQ(SendenClick(seams), TransferOutcome::Failed);

    EXPECT_EQ(op.log, ExpectedWriteTrace(failing));
    // The loop ends with the KonfigByte, with the channel whose last byte was lost, or after
    // channel 8.
    int last = 40;
    for (int r : {0, 5, 10, 15, 20, 25, 30, 35}) {
      if (failing.count(r)) {
        last = r;
        break;
      }
    }
    ConfigImage expected = blankImage;
    long long lost = 0;
    for (std::size_t r = 0; r <= static_cast<std::size_t>(last); ++r) {
      if (failing.count(static_cast<int>(r))) {
        ++lost;
      } else {
        expected[r] = pcImage[r];
      }
    }
    EXPECT_EQ(ports.card.RequestedRegisters(), Registers(0, last));
    EXPECT_EQ(CardRegisters(), expected);
    for (std::size_t r = 0; r < record.good.size(); ++r) {
      const int n = static_cast<int>(r);  // one of 41
      EXPECT_EQ(record.good[r], n <= last && !failing.count(n)) << "register " << r;
    }
    const long long reported = failing.count(0) ? 0 : lost;
    EXPECT_EQ(fakeClock.TotalMs(), (last + 1) * 80 + 100 + 150 + 1000 * reported);
    EXPECT_EQ(ElapsedMs(), fakeClock.TotalMs() + 4 * 250 * lost);
    EXPECT_EQ(Snapshot(panel), pcState) << "writing never changes the panel";
    EXPECT_FALSE(ports.IsHeld(3));
    EXPECT_FALSE(op.waitCursor);
  }
};

TEST_P(WriteFaultMatrixTest, OneExchangeFails) {
  RunAndCheck({GetParam()});
}
INSTANTIATE_TEST_SUITE_P(EveryRegister, WriteFaultMatrixTest, ::testing::Range(0, 41));

using WritePairFaultMatrixTest = WriteFaultMatrixTest;
TEST_P(WritePairFaultMatrixTest, TwoConsecutiveExchangesFail) {
  RunAndCheck({GetParam(), GetParam() + 1});
}
INSTANTIATE_TEST_SUITE_P(EveryRegisterButTheLast, WritePairFaultMatrixTest,
                         ::testing::Range(0, 40));

class ReadFaultMatrixTest : public TransferTest, public ::testing::WithParamInterface<int> {
 protected:
  ReadFaultMatrixTest() {
    std::copy(cardImage.begin(), cardImage.end(), ports.card.registers.begin());
  }
  void RunAndCheck(CardAnswer failure, int sendsOfFailure) {
    const int k = GetParam();
    ports.card.registerAnswers[static_cast<std::uint16_t>(k)].assign(
        static_cast<std::size_t>(sendsOfFailure), failure);
    RegisterRecord record;
    seams.record = &record;

    EXPECT_EQ(EmpfangenClick(seams), TransferOutcome::Failed);
    for (std::size_t r = 0; r < record.good.size(); ++r) {
      EXPECT_EQ(record.good[r], static_cast<int>(r) < k) << "register " << r;
      if (static_cast<int>(r) < k) {
        EXPECT_EQ(record.values[r], cardImage[r]) << "register " << r;
      }
    }

    EXPECT_EQ(op.log, ExpectedReadTrace(k));
    // Only the channels before the failed one are applied; a failed KonfigByte applies none.
    ExpectChannelsFromCardBefore(k == 0 ? 1 : (k + 4) / 5);
    EXPECT_EQ(ports.card.RequestedRegisters().size(), static_cast<std::size_t>(k + sendsOfFailure));
    std::vector<std::uint16_t> distinct = ports.card.RequestedRegisters();
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_EQ(distinct, Registers(0, k));
    EXPECT_EQ(op.LastStatus(), "Error by configuration reading");
    EXPECT_EQ(fakeClock.TotalMs(), (k + sendsOfFailure) * 80 + 50 + 1000);
    EXPECT_FALSE(ports.IsHeld(3));
    EXPECT_FALSE(op.waitCursor);
  }
};

TEST_P(ReadFaultMatrixTest, OneExchangeGetsNoReply) {
  RunAndCheck(CardAnswer::Silent, 1);
  EXPECT_EQ(ElapsedMs(), fakeClock.TotalMs() + 4 * 250);
}
TEST_P(ReadFaultMatrixTest, OneExchangeGetsOnlyBadReplies) {
  RunAndCheck(CardAnswer::BadCheck, 51);
  EXPECT_EQ(ElapsedMs(), fakeClock.TotalMs());
}
INSTANTIATE_TEST_SUITE_P(EveryRegister, ReadFaultMatrixTest, ::testing::Range(0, 41));

}  // namespace
}  // namespace quorvex::testing
