// The transfer fixture: panel and card differing everywhere, one trace of all that happens.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "link/clock.h"
#include "link/com_port.h"
#include "procedures/read_from_box.h"
#include "procedures/transfer_seams.h"
#include "procedures/write_to_box.h"
#include "tests/link/fake_serial.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_operator.h"
#include "tests/support/panel_setup.h"

namespace quorvex::testing {

using Log = std::vector<std::string>;

// Forwards to the fake clock and notes every pause but the 10 ms byte pauses in the trace, so a
// trace shows where the long pauses fall.
class TracingClock : public Clock {
 public:
  TracingClock(FakeClock& clock, Log& trace) : clock_(clock), trace_(trace) {}
  void Sleep(int milliseconds) override;
  std::chrono::steady_clock::time_point Now() const override { return clock_.Now(); }
  bool BeginFinePauses() override { return clock_.BeginFinePauses(); }
  void EndFinePauses() override { clock_.EndFinePauses(); }

 private:
  FakeClock& clock_;
  Log& trace_;
};

// Register addresses first to last, ascending.
std::vector<std::uint16_t> Registers(int first, int last);

// A panel and a card holding two different configurations (every unit differs), the card on
// COM3, everything the operator sees and the port does recorded in one trace (op.log).
class TransferTest : public ::testing::Test {
 protected:
  TransferTest();

  long long ElapsedMs() const;
  // The port is closed and released, and the normal cursor is back.
  void ExpectClosedAndRestored() const;
  // Channels before `firstKept` show the card's settings, the others the panel's own.
  void ExpectChannelsFromCardBefore(int firstKept) const;
  // Registers 0..40 of the card as they are now.
  ConfigImage CardRegisters() const;

  // The trace of a write through SendenClick on COM3 when the exchanges at the given registers
  // each get no reply once.
  Log ExpectedWriteTrace(const std::set<int>& failing) const;
  // The trace of a read on COM3 when the exchange at `failing` gets no reply (-1: none fails).
  static Log ExpectedReadTrace(int failing);

  FakeClock fakeClock;
  FakeOperator op;
  TracingClock clock{fakeClock, op.log};
  FakeSerialPorts ports{fakeClock};
  AppContext ctx;
  MemoryPanel panel;
  ComPort port{ports, clock, op, ctx};
  std::uint16_t registerAddress = 0xBEEF;
  TransferSeams seams{panel, op, port, clock, ctx, registerAddress};

  PanelState pcState{};    // the panel before the transfer
  PanelState cardState{};  // the panel after reading the card's configuration
  ConfigImage pcImage{};
  ConfigImage cardImage{};
  // The card's memory before a write: a pattern no encoder produces for these settings.
  ConfigImage blankImage{};
};

}  // namespace quorvex::testing
