// The card session of the commands that read, write and verify the card, as they run it.
#include "cli/card_run.h"

#include "cli/card_batch.h"
#include "cli/error_report.h"
#include "procedures/channel_check.h"

namespace quorvex::cli {

namespace {

std::string FirstMissingRegister(const RegisterRecord& record) {
  for (std::size_t r = 0; r < record.good.size(); ++r) {
    if (!record.good[r]) return RegisterName(r);
  }
  return {};
}

// The ports a command reaches through a device server: the COM numbers the window assigned and
// the URLs of --port, whose numbers lie above every COM number.
NetworkAssignments Served(NetworkAssignments assigned, const NetworkAssignments& named) {
  assigned.insert(named.begin(), named.end());
  return assigned;
}

}  // namespace

int OutcomeExitCode(TransferOutcome outcome) {
  switch (outcome) {
    case TransferOutcome::Done:
      return kExitOk;
    case TransferOutcome::NotValid:
      return kExitBadInput;
    case TransferOutcome::PortNotAvailable:
      return kExitPortNotAvailable;
    case TransferOutcome::Failed:
      break;
  }
  return kExitTransferFailed;
}

CardRun::CardRun(const CardOptions& o, Console& console)
    : network_(o.network),
      assigned_(o.assigned),
      ownWatch_(o.interrupt == nullptr ? std::make_unique<InterruptWatch>() : nullptr),
      gate_(o.interrupt == nullptr ? *ownWatch_ : *o.interrupt),
      trace_(o.trace.empty() ? nullptr : std::make_unique<TraceLog>(o.trace)),
      op_(console.err, ctx_.texts,
          {o.quiet, o.wait, console.errIsTerminal && !o.quiet, "COM" + std::to_string(o.port),
           PortName(o.port, o.network)},
          ownWatch_.get(), trace_.get()),
      system_(std::make_unique<AssignedSerialPorts>(MakeSystemSerialPorts(Environment(o)),
                                                    Served(o.assigned, o.network))),
      ports_(
          *system_, trace_.get(),
          [this, progress = o.progress](std::uint16_t a) {
            op_.RegisterDone(a);
            if (progress != nullptr) progress->registers.fetch_add(1, std::memory_order_relaxed);
          },
          [this](int port) { return PortName(port, network_); }) {
  ctx_.comPortNumber = o.port;
}

bool CardRun::CheckChannels() {
  return ValidateAllChannels(panel_, op_, ctx_);
}

std::optional<ConfigImage> CardRun::ReadImage(std::ostream& err, int& exitCode) {
  const TransferOutcome outcome = Run("Reading", &CardSession::ReadAside);
  exitCode = OutcomeExitCode(outcome);
  if (outcome == TransferOutcome::Done) return Record().values;
  ReportFailure(err, outcome, "Reading");
  return std::nullopt;
}

CardComparison CardRun::Compare() {
  op_.BeginProgress("Reading " + PortText());
  CardComparison comparison = session_.Compare();
  op_.EndProgressLine();
  return comparison;
}

void CardRun::ReportFailure(std::ostream& err, TransferOutcome outcome, const std::string& what) {
  const int n = ctx_.comPortNumber;
  if (outcome == TransferOutcome::PortNotAvailable &&
      (network_.count(n) != 0 || assigned_.count(n) != 0)) {
    // A COM number the window assigned is named with its server, which is what did not answer.
    const std::string port = network_.count(n) != 0
                                 ? PortText()
                                 : PortText() + " (" + NetworkEndpointUrl(assigned_.at(n)) + ")";
    const std::string problem = system_->Problem(n);
    Report(err, port + ": port not available" + (problem.empty() ? "" : ": " + problem) + ".");
  } else if (outcome == TransferOutcome::PortNotAvailable) {
    Report(err, "COM" + std::to_string(ctx_.comPortNumber) +
                    " leads to no device, or another program holds it.");
  } else if (outcome == TransferOutcome::Failed) {
    Report(err, what + " failed: the card did not answer for " + FirstMissingRegister(Record()) +
                    " on " + PortText() + ".");
  }
}

TransferOutcome CardRun::Run(const char* what, TransferOutcome (CardSession::*command)()) {
  op_.BeginProgress(std::string(what) + " " + PortText());
  const TransferOutcome outcome = (session_.*command)();
  op_.EndProgressLine();
  return outcome;
}

}  // namespace quorvex::cli
