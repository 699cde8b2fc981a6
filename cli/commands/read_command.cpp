// quorvex-cli read: the card's configuration, printed and, when every register came, saved.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/card_batch.h"
#include "cli/card_run.h"
#include "cli/command_setup.h"
#include "cli/error_report.h"
#include "cli/many_cards.h"
#include "cli/named_files.h"
#include "cli/port_selection.h"
#include "cli/printing.h"
#include "core/errors.h"
#include "core/quantity_catalogue.h"

namespace quorvex::cli {

namespace {

struct ReadOptions : CardOptions {
  std::string output;
  bool json = false;
};

int Read(const ReadOptions& o, Console& c, CardTransfer* transfer) {
  CardRun run(o, c);
  MemoryPanel& panel = run.Panel();
  FillChannelLists(panel);
  const TransferOutcome outcome = run.Read();
  const RegisterRecord& record = run.Record();
  if (outcome != TransferOutcome::Done) {
    run.ReportFailure(c.err, outcome, "Reading");
    if (!o.output.empty()) Report(c.err, o.output + " was not written.");
    return OutcomeExitCode(outcome);
  }
  if (transfer != nullptr) transfer->held = record.values;
  // The card's bytes as they came: what the window shows of them may be rounded.
  if (!o.output.empty()) SaveImage(o.output, record.values);
  const ConfigurationView view = ViewConfiguration(panel);
  if (o.json) {
    PrintJson(c.out, ShownJson(view, record.values));
  } else {
    PrintConfiguration(c.out, view, record.values, run.Texts());
  }
  return kExitOk;
}

int ReadCards(const std::shared_ptr<ReadOptions>& o, Console& c) {
  const bool several = ParsePortList(o->portValues).size() > 1;
  // Eight cards' tables in one output would be of no use: each card goes to its own file.
  if (several && o->output.find("{port}") == std::string::npos) {
    throw ReportedError("reading several cards needs -o with {port} in the file name");
  }
  // The single card's --json is its configuration, as it always was.
  const CardCommandFacts facts{"read",
                               [o](int port) { return WithPort(o->output, port, o->network); },
                               kRegistersPerTransfer, several && o->json};
  return RunCardCommand(facts, *o, c, [o](const CardPlace& place, Console& pc) {
    ReadOptions card = *o;
    PlaceCard(card, place);
    card.output = WithPort(o->output, place.port, o->network);
    return Read(card, pc, place.transfer);
  });
}

}  // namespace

void SetupReadCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<ReadOptions>();
  CLI::App* command = AddCommand(app, host, "read", "read the card's configuration", *o,
                                 [o](Console& c) { return ReadCards(o, c); });
  AddCardOptions(command, *o);
  command->add_option("-o,--output", o->output,
                      "also save it to this .KFG file (only when every register was read); with "
                      "several ports {port} in the name becomes each port's number");
  command->add_flag("--json", o->json,
                    "print JSON instead of a table; with several ports one object per card");
}

}  // namespace quorvex::cli
