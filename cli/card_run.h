// A command's way to the card: the window's procedures on the real port, and how their outcome
// ends the command.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/commands.h"
#include "cli/common_options.h"
#include "cli/interrupt.h"
#include "cli/line_trace.h"
#include "cli/terminal_operator.h"
#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/text_set.h"
#include "link/card_transfer.h"
#include "link/com_port.h"
#include "link/serial_line.h"

namespace quorvex::cli {

// The exit code a transfer's outcome gives the command.
int OutcomeExitCode(TransferOutcome outcome);

// Everything one command needs to talk to the card: the window's procedures on the real port,
// with Ctrl+C, the trace and the progress display watching.
class CardSession {
 public:
  CardSession(const CardOptions& o, Console& console);

  TransferOutcome Write(MemoryPanel& panel, RegisterRecord& record) {
    return Run("Writing", SendenClick, panel, record);
  }
  TransferOutcome Read(MemoryPanel& panel, RegisterRecord& record) {
    return Run("Reading", EmpfangenClick, panel, record);
  }
  // Reads the card into a scratch panel; the card's bytes, or nothing after a report.
  std::optional<ConfigImage> ReadImage(std::ostream& err, int& exitCode);
  void ReportFailure(std::ostream& err, TransferOutcome outcome, const std::string& what,
                     const RegisterRecord& record);
  const TextSet& Texts() const { return ctx_.texts; }

 private:
  TransferOutcome Run(const char* what, TransferOutcome (*procedure)(TransferSeams&),
                      MemoryPanel& panel, RegisterRecord& record);
  AppContext ctx_{.texts = EnglishTextSet()};
  std::unique_ptr<InterruptWatch> ownWatch_;
  FrameGate gate_;
  SteadyClock pauses_;
  InterruptibleClock clock_{gate_, pauses_};
  std::unique_ptr<TraceLog> trace_;
  TerminalOperator op_;
  std::unique_ptr<SerialPorts> system_;
  WatchedPorts ports_;
  FrameGatedPorts gated_{ports_, gate_};
  ComPort port_{gated_, clock_, op_, ctx_};
  std::uint16_t registerAddress_ = 0;
};

}  // namespace quorvex::cli
