// quorvex-cli verify: the card read and compared with a .KFG file.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/card_batch.h"
#include "cli/card_run.h"
#include "cli/command_setup.h"
#include "cli/configuration_input.h"
#include "cli/many_cards.h"
#include "cli/named_files.h"
#include "cli/printing.h"
#include "core/config_image.h"
#include "core/config_view.h"

namespace quorvex::cli {

namespace {

struct VerifyOptions : CardOptions {
  std::string file;
  bool json = false;
};

int Verify(const VerifyOptions& o, Console& c, CardTransfer* transfer) {
  const std::optional<ConfigImage> given = LoadConfiguration(o.file, c.err);
  if (!given) return kExitBadInput;
  const ConfigImage& fileImage = *given;
  CardRun run(o, c);
  // The window's compare on the file as the window shows it after loading, so the two give one
  // answer for every card.
  ShowImage(run.Panel(), fileImage);
  const CardComparison comparison = run.Compare();
  if (comparison.outcome != TransferOutcome::Done) {
    run.ReportFailure(c.err, comparison.outcome, "Reading");
    return OutcomeExitCode(comparison.outcome);
  }
  if (transfer != nullptr) transfer->held = run.Record().values;
  if (EncodeConfiguration(run.Panel()) != fileImage && !o.quiet) {
    c.err << "Note: compared with the values as the window shows them, which differ from the "
             "file's bytes.\n";
  }
  return PrintDifferences(c.out, comparison.differences, "File", "Card", run.Texts(), c.comparison);
}

}  // namespace

void SetupVerifyCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<VerifyOptions>();
  CLI::App* command = AddCommand(
      app, host, "verify", "read the card and compare it with a .KFG file or a record (.csv)", *o,
      [o](Console& c) {
        const CardCommandFacts facts{"verify", [o](int) { return o->file; }, kRegistersPerTransfer,
                                     o->json};
        return RunCardCommand(facts, *o, c, [o](const CardPlace& place, Console& pc) {
          VerifyOptions card = *o;
          PlaceCard(card, place);
          return Verify(card, pc, place.transfer);
        });
      });
  AddCardOptions(command, *o);
  command->add_option("file", o->file, ".KFG file, or a configuration record (.csv)")->required();
  command->add_flag("--json", o->json, "one JSON object per card instead of a line");
}

}  // namespace quorvex::cli
