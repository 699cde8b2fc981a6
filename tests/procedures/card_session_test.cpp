// Tests of the card session: the window-free front end's write, read and compare on the fake line.
#include "procedures/card_session.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
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
  ASSERT_GT(differing.differences.size(), 1u);
  EXPECT_EQ(differing.differences.front().channel, 1);
  // Nothing was loaded: the comparison ends with its own status, not the read's.
  EXPECT_EQ(op.LastStatus(), "Compared with box: " + std::to_string(differing.differences.size()) +
                                 " fields differ");

  std::copy(pcImage.begin(), pcImage.end(), ports.card.registers.begin());
  EXPECT_TRUE(session.Compare().differences.empty());
  EXPECT_EQ(op.LastStatus(), "Compared with box: equal");

  ports.card.silent = true;
  const CardComparison unanswered = session.Compare();
  EXPECT_EQ(unanswered.outcome, TransferOutcome::Failed);
  EXPECT_TRUE(unanswered.differences.empty());
  EXPECT_EQ(op.LastStatus(), "Error by configuration reading");

  EXPECT_EQ(session.Read(), TransferOutcome::Failed);
  ports.card.silent = false;
  EXPECT_EQ(session.Read(), TransferOutcome::Done);
  EXPECT_EQ(op.LastStatus(), "Configuration  loaded") << "Read from box keeps its text";
}

TEST(CompareStatusTextTest, SaysEqualOrCountsTheFieldsInTheirNumber) {
  const TextSet t = EnglishTextSet();
  EXPECT_EQ(CompareStatusText(0, t), "Compared with box: equal");
  EXPECT_EQ(CompareStatusText(1, t), "Compared with box: 1 field differs");
  EXPECT_EQ(CompareStatusText(2, t), "Compared with box: 2 fields differ");
  EXPECT_EQ(CompareStatusText(40, t), "Compared with box: 40 fields differ");
}

// Forwards to the fake clock and throws at a given pause, as a clock that Ctrl+C ends does.
class ThrowingClock : public Clock {
 public:
  ThrowingClock(FakeClock& clock, std::size_t throwAt) : clock_(clock), throwAt_(throwAt) {}
  void Sleep(int milliseconds) override {
    if (clock_.pauses.size() == throwAt_) throw std::runtime_error("stopped");
    clock_.Sleep(milliseconds);
  }
  std::chrono::steady_clock::time_point Now() const override { return clock_.Now(); }
  bool BeginFinePauses() override { return clock_.BeginFinePauses(); }
  void EndFinePauses() override { clock_.EndFinePauses(); }

 private:
  FakeClock& clock_;
  std::size_t throwAt_;
};

enum class Path { Done, FailedExchange, PortNotAvailable, Thrown };

TEST_F(CardSessionTest, EveryTransferHoldsFinePausesOnceAndGivesThemBackOnEveryPath) {
  using Command = std::function<void(CardSession&)>;
  const std::vector<std::pair<const char*, Command>> commands = {
      {"Write", [](CardSession& c) { c.Write(); }},
      {"Read", [](CardSession& c) { c.Read(); }},
      {"ReadAside", [](CardSession& c) { c.ReadAside(); }},
      {"Compare", [](CardSession& c) { c.Compare(); }}};
  for (const auto& [name, command] : commands) {
    for (Path path : {Path::Done, Path::FailedExchange, Path::PortNotAvailable, Path::Thrown}) {
      SCOPED_TRACE(std::string(name) + ", path " + std::to_string(static_cast<int>(path)));
      FakeClock pauses;
      FakeSerialPorts line{pauses};
      // Thrown in the middle of the registers, well after the port was opened.
      ThrowingClock sessionClock(pauses, path == Path::Thrown ? 120 : SIZE_MAX);
      if (path == Path::FailedExchange) line.card.registerAnswers[12] = {CardAnswer::Silent};
      ctx.comPortNumber = path == Path::PortNotAvailable ? 9 : 3;
      CardSession fresh{panel, op, line, sessionClock, ctx};
      if (path == Path::Thrown) {
        EXPECT_THROW(command(fresh), std::runtime_error);
        EXPECT_FALSE(line.IsHeld(3));
      } else {
        command(fresh);
      }
      EXPECT_EQ(pauses.fineBegun, 1);
      EXPECT_EQ(pauses.fineEnded, 1);
      EXPECT_EQ(pauses.coarsePauses, 0u) << "a pause of the transfer fell outside them";
      if (path != Path::PortNotAvailable) {
        EXPECT_GT(pauses.pauses.size(), 50u);
      }
    }
  }
}

TEST_F(CardSessionTest, FinePausesTheSystemRefusedAreNotGivenBack) {
  fakeClock.grantFine = false;
  EXPECT_EQ(session.Read(), TransferOutcome::Done);
  EXPECT_EQ(fakeClock.fineBegun, 1);
  EXPECT_EQ(fakeClock.fineEnded, 0);
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
