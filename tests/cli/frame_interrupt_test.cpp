// Ctrl+C at every point of a transfer: the card only ever sees whole frames, the port is let go.
#include <gtest/gtest.h>

#include "cli/interrupt.h"
#include "core/app_context.h"
#include "procedures/card_session.h"
#include "tests/link/fake_serial.h"
#include "tests/support/panel_setup.h"

namespace quorvex::cli {
namespace {

// A request to stop that comes once the transfer has made a given number of pauses; every byte
// on the line comes with one, so stepping the number walks through every point of every frame.
class StopAfterPauses : public InterruptSource {
 public:
  StopAfterPauses(const testing::FakeClock& clock, std::size_t pauses)
      : clock_(clock), pauses_(pauses) {}
  bool WaitFor(int) override { return clock_.pauses.size() >= pauses_; }

 private:
  const testing::FakeClock& clock_;
  std::size_t pauses_;
};

using Procedure = TransferOutcome (CardSession::*)();

// Runs the procedure with the stop coming after `pauses` pauses; true when it was interrupted.
bool RunInterrupted(Procedure procedure, std::size_t pauses, testing::FakeSerialPorts& ports,
                    testing::FakeClock& fakeClock) {
  StopAfterPauses stop(fakeClock, pauses);
  FrameGate gate(stop);
  InterruptibleClock clock(gate, fakeClock);
  FrameGatedPorts gated(ports, gate);
  testing::FakeOperator op;
  AppContext ctx;
  ctx.comPortNumber = 3;
  MemoryPanel panel;
  testing::ShowConfiguration(panel, testing::kKnownConfiguration);
  CardSession session(panel, op, gated, clock, ctx);
  try {
    (session.*procedure)();
  } catch (const Interrupted&) {
    return true;
  }
  return false;
}

TEST(FrameInterruptTest, StopAtEveryPauseLeavesOnlyWholeFramesAndAFreePort) {
  for (Procedure procedure : {&CardSession::Write, &CardSession::Read}) {
    std::size_t interrupted = 0;
    std::size_t wholeRun = 0;
    for (std::size_t pauses = 0;; ++pauses) {
      testing::FakeClock fakeClock;
      testing::FakeSerialPorts ports(fakeClock);
      // Some replies fail, so a stop also meets the long pause after a failed exchange.
      ports.card.registerAnswers[7] = {testing::CardAnswer::Silent};
      ports.card.registerAnswers[12] = {testing::CardAnswer::BadCheck};
      const bool stopped = RunInterrupted(procedure, pauses, ports, fakeClock);
      SCOPED_TRACE("stop after pause " + std::to_string(pauses));
      EXPECT_EQ(ports.written.size() % 4, 0u);
      EXPECT_EQ(ports.card.requests.size() * 4, ports.written.size());
      EXPECT_FALSE(ports.Rts());
      EXPECT_FALSE(ports.IsHeld(3));
      // The transfer's fine pauses reach the system through the interruptible clock, and are
      // given back however far it got.
      EXPECT_EQ(fakeClock.fineBegun, 1);
      EXPECT_EQ(fakeClock.fineEnded, 1);
      if (!stopped) {
        wholeRun = fakeClock.pauses.size();
        break;
      }
      ++interrupted;
    }
    // A stop coming at any pause ended the transfer, but in the pause before the close, which
    // belongs to the closing steps.
    EXPECT_GE(interrupted + 1, wholeRun);
    EXPECT_GT(interrupted, 60u);
  }
}

}  // namespace
}  // namespace quorvex::cli
