// quorvex-cli verify: the card read and compared with a .KFG file.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/card_run.h"
#include "cli/command_setup.h"
#include "cli/named_files.h"
#include "cli/printing.h"

namespace quorvex::cli {

namespace {

struct VerifyOptions : CardOptions {
  std::string file;
};

int Verify(const VerifyOptions& o, Console& c) {
  const ConfigImage fileImage = LoadImage(o.file);
  CardRun run(o, c);
  int exitCode = kExitOk;
  const auto card = run.ReadImage(c.err, exitCode);
  if (!card) return exitCode;
  return PrintComparison(c.out, fileImage, *card, "File", "Card", run.Texts());
}

}  // namespace

void SetupVerifyCommand(CLI::App& app, CommandHost& host) {
  auto o = std::make_shared<VerifyOptions>();
  CLI::App* command =
      AddCommand(app, host, "verify", "read the card and compare it with a .KFG file", *o,
                 [o](Console& c) { return Verify(*o, c); });
  AddCardOptions(command, *o);
  command->add_option("file", o->file, ".KFG file")->required();
}

}  // namespace quorvex::cli
