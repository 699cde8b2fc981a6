// quorvex-cli write: a .KFG file checked as the window checks it, written and read back.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/card_run.h"
#include "cli/command_setup.h"
#include "cli/many_cards.h"
#include "cli/named_files.h"
#include "cli/printing.h"
#include "core/config_view.h"

namespace quorvex::cli {

namespace {

struct WriteOptions : CardOptions {
  std::string file;
  bool noVerify = false;
  bool json = false;
};

int Write(const WriteOptions& o, Console& c) {
  const ConfigImage fileImage = LoadImage(o.file);
  CardRun run(o, c);
  MemoryPanel& panel = run.Panel();
  ShowImage(panel, fileImage);
  const TransferOutcome outcome = run.Write();
  if (outcome != TransferOutcome::Done) {
    run.ReportFailure(c.err, outcome, "Writing");
    return OutcomeExitCode(outcome);
  }
  // The window writes what it shows; a file whose values it shows rounded is written rounded.
  const ConfigImage written = EncodeConfiguration(panel);
  if (written != fileImage && !o.quiet) {
    c.err << "Note: the card was given the values as the window shows them, which differ from "
             "the file's bytes.\n";
  }
  if (o.noVerify) {
    if (!o.quiet) c.err << "Written to COM" << o.port << " (not read back).\n";
    return kExitOk;
  }
  int exitCode = kExitOk;
  const auto card = run.ReadImage(c.err, exitCode);
  if (!card) return exitCode;
  if (*card == written) {
    if (!o.quiet) c.err << "Written to COM" << o.port << " and read back: the card holds it.\n";
    return kExitOk;
  }
  c.out << "The card's read-back differs from what was written:\n";
  PrintComparison(c.out, written, *card, "Written", "Card", run.Texts(), c.comparison);
  return kExitDifferent;
}

}  // namespace

void SetupWriteCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<WriteOptions>();
  CLI::App* command =
      AddCommand(app, host, "write", "check a .KFG file, write it to the card and read it back", *o,
                 [o](Console& c) {
                   const CardCommandFacts facts{
                       "write", [o](int) { return o->file; },
                       o->noVerify ? kRegistersPerTransfer : 2 * kRegistersPerTransfer, o->json};
                   return RunCardCommand(facts, *o, c, [o](const CardPlace& place, Console& pc) {
                     WriteOptions card = *o;
                     PlaceCard(card, place);
                     return Write(card, pc);
                   });
                 });
  AddCardOptions(command, *o);
  command->add_option("file", o->file, ".KFG file")->required();
  command->add_flag("--no-verify", o->noVerify, "do not read the card back");
  command->add_flag("--json", o->json, "one JSON object per card instead of a line");
}

}  // namespace quorvex::cli
