// The glue between the card commands and the batch runner.
#include "cli/many_cards.h"

#include <chrono>
#include <memory>
#include <sstream>

#include "cli/card_batch.h"
#include "cli/card_history.h"
#include "cli/card_log.h"
#include "cli/error_report.h"
#include "cli/interrupt.h"
#include "cli/port_list.h"
#include "cli/port_selection.h"
#include "core/config_image.h"
#include "core/errors.h"

namespace quorvex::cli {

namespace {

// The reason a command reported first (a failed read goes on to say that its file was not
// written), without the program's name in front.
std::string FirstReport(const std::string& err) {
  const std::string prefix = std::string(kProgram) + ": ";
  const std::size_t at = err.find(prefix);
  if (at == std::string::npos) return {};
  const std::size_t start = at + prefix.size();
  return err.substr(start, err.find('\n', start) - start);
}

// Everything written to it goes to both.
class TeeBuffer : public std::streambuf {
 public:
  TeeBuffer(std::streambuf& first, std::streambuf& second) : first_(first), second_(second) {}

 protected:
  int overflow(int ch) override {
    if (ch == traits_type::eof()) return traits_type::not_eof(ch);
    const char c = traits_type::to_char_type(ch);
    return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    second_.sputn(text, count);
    return first_.sputn(text, count);
  }
  int sync() override { return first_.pubsync(); }

 private:
  std::streambuf& first_;
  std::streambuf& second_;
};

int RunOneCard(const CardCommandFacts& facts, const CardOptions& o, Console& c,
               const CardCommand& run, CardLog* log, CardHistory* history) {
  if (log == nullptr && history == nullptr) {
    return run({o.port, false, nullptr, nullptr, nullptr, nullptr}, c);
  }
  const auto start = std::chrono::steady_clock::now();
  CardResult result;
  const CardPlace place{o.port, false, nullptr, nullptr, &result.backup, &result.transfer};
  // The user sees the command's words as ever; the history keeps its first report.
  std::ostringstream said;
  TeeBuffer tee(*c.err.rdbuf(), *said.rdbuf());
  std::ostream err(&tee);
  // As std::cerr flushes after every output (unitbuf), so must this: a pipe to a script that
  // waits for the progress lines is buffered otherwise (Windows' C library does so).
  err.flags(c.err.flags());
  Console logged{c.out, err, c.errIsTerminal, &result.comparison};
  result.exitCode = RunReported(err, [&] { return run(place, logged); });
  err.flush();
  result.message = FirstReport(said.str());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const PortDevice device = DescribePortDevice(o.port, Environment(o));
  if (history != nullptr) {
    history->Record(facts.name, o.port, device, PortName(o.port, o.network),
                    WithPort(o.tag, o.port, o.network), facts.file(o.port), result, seconds, c.err);
  }
  if (log == nullptr) return result.exitCode;
  LogEntry entry = MakeLogEntry(facts.name, o.port, device, facts.file(o.port), result, seconds);
  entry.portName = PortName(o.port, o.network);
  log->Append(entry);
  return result.exitCode;
}

CardResult RunPlacedCard(const CardCommand& run, CardPlace place) {
  std::ostringstream out;
  std::ostringstream err;
  CardResult result;
  place.backup = &result.backup;
  place.transfer = &result.transfer;
  Console console{out, err, false, &result.comparison};
  result.exitCode = RunReported(err, [&] { return run(place, console); });
  result.message = FirstReport(err.str());
  return result;
}

int RunManyCards(const CardCommandFacts& facts, const CardOptions& o, Console& c,
                 const CardCommand& run, CardLog* log, CardHistory* history) {
  if (o.wait) throw ReportedError("--wait takes a single port");
  if (!o.trace.empty() && o.trace.find("{port}") == std::string::npos) {
    throw ReportedError("--trace for several cards needs {port} in the file name");
  }
  // Before any card's thread starts, so that each inherits it.
  InterruptWatch watch;
  BatchPlan plan{facts.name,
                 o.ports,
                 {},
                 facts.file,
                 facts.registersPerCard,
                 facts.json,
                 c.errIsTerminal && !o.quiet,
                 log,
                 {},
                 [&o](int port) { return PortName(port, o.network); }};
  if (history != nullptr) {
    plan.history = [&, history](int port, const PortDevice& device, const CardResult& result,
                                double seconds) {
      return history->Record(facts.name, port, device, PortName(port, o.network),
                             WithPort(o.tag, port, o.network), facts.file(port), result, seconds,
                             c.err);
    };
  }
  for (int port : o.ports) plan.devices.push_back(DescribePortDevice(port, Environment(o)));
  const CardJob job = [&](int port, CardProgress& progress) {
    return RunPlacedCard(run, {port, true, &watch, &progress});
  };
  const int exitCode = RunBatch(plan, job, c.out, c.err);
  if (exitCode == kExitInterrupted) {
    Report(c.err, "Interrupted; every port was closed and no unfinished card's file was written.");
  }
  return exitCode;
}

}  // namespace

void PlaceCard(CardOptions& card, const CardPlace& place) {
  card.port = place.port;
  if (!place.batch) return;
  card.quiet = true;
  card.trace = WithPort(card.trace, place.port, card.network);
  card.interrupt = place.interrupt;
  card.progress = place.progress;
}

std::string WithPort(std::string pattern, int port, const NetworkAssignments& network) {
  const std::string name = PortFileName(port, network);
  for (std::size_t at = pattern.find("{port}"); at != std::string::npos;
       at = pattern.find("{port}", at)) {
    pattern.replace(at, 6, name);
  }
  return pattern;
}

int RunCardCommand(const CardCommandFacts& facts, CardOptions& o, Console& c,
                   const CardCommand& run) {
  o.ports = ParsePortList(o.portValues, o.network);
  o.assigned = WindowAssignedPorts();
  o.port = o.ports.front();
  // An unwritable log is found before any card is touched.
  const auto log = o.log.empty() ? nullptr : std::make_unique<CardLog>(o.log);
  // So is a history that --history names and that cannot be opened.
  const auto history = CardHistory::Open(o, c.err);
  if (o.ports.size() == 1 && !facts.json) {
    return RunOneCard(facts, o, c, run, log.get(), history.get());
  }
  return RunManyCards(facts, o, c, run, log.get(), history.get());
}

}  // namespace quorvex::cli
