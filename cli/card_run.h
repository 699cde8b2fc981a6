// A command's way to the card: the card session with the command line's own ports and clock
// plugged in, and how the session's outcome ends the command.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/common_options.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/line_trace.h"
#include "cli/port_selection.h"
#include "cli/terminal_operator.h"
#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/text_set.h"
#include "link/network_line.h"
#include "link/serial_line.h"
#include "procedures/card_session.h"

namespace quorvex::cli {

// The exit code a transfer's outcome gives the command.
int OutcomeExitCode(TransferOutcome outcome);

// One command's card session on its panel, with Ctrl+C, the trace and the progress display
// watching: the ports go through the trace, the pauses through the interruptible clock.
class CardRun {
 public:
  CardRun(const CardOptions& o, Console& console);

  MemoryPanel& Panel() { return panel_; }
  TransferOutcome Write() { return Run("Writing", &CardSession::Write); }
  TransferOutcome Read() { return Run("Reading", &CardSession::Read); }
  const RegisterRecord& Record() const { return session_.Record(); }
  // The window's check of the panel's channels, its failure told as the window tells it.
  bool CheckChannels();
  // Reads the card into a scratch panel; the card's bytes, or nothing after a report.
  std::optional<ConfigImage> ReadImage(std::ostream& err, int& exitCode);
  // Compare with box on the panel, its read shown as reading is.
  CardComparison Compare();
  // What went wrong with the last transfer, naming the first register that got no answer.
  void ReportFailure(std::ostream& err, TransferOutcome outcome, const std::string& what);
  const TextSet& Texts() const { return ctx_.texts; }

 private:
  TransferOutcome Run(const char* what, TransferOutcome (CardSession::*command)());
  std::string PortText() const { return PortName(ctx_.comPortNumber, network_); }
  AppContext ctx_{.texts = EnglishTextSet()};
  NetworkAssignments network_;
  NetworkAssignments assigned_;
  std::unique_ptr<InterruptWatch> ownWatch_;
  FrameGate gate_;
  SteadyClock pauses_;
  InterruptibleClock clock_{gate_, pauses_};
  std::unique_ptr<TraceLog> trace_;
  TerminalOperator op_;
  std::unique_ptr<AssignedSerialPorts> system_;
  WatchedPorts ports_;
  FrameGatedPorts gated_{ports_, gate_};
  MemoryPanel panel_;
  CardSession session_{panel_, op_, gated_, clock_, ctx_};
};

}  // namespace quorvex::cli
