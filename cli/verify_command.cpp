// quorvex-cli verify: the card read and compared with a .KFG file.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "cli/card_run.h"
#include "cli/command_setup.h"
#include "cli/named_files.h"
#include "cli/printing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/config_view.h"

namespace quorvex::cli {

namespace {

struct VerifyOptions : CardOptions {
  std::string file;
};

int Verify(const VerifyOptions& o, Console& c) {
  const ConfigImage fileImage = LoadImage(o.file);
  CardSession session(o, c);
  // What "Write to box" would send after loading the file, behind the same check, so the window's
  // compare and this command give one answer for every card.
  MemoryPanel panel;
  ShowImage(panel, fileImage);
  if (!session.Check(panel)) return kExitBadInput;
  const ConfigImage asWritten = EncodeConfiguration(panel);
  int exitCode = kExitOk;
  const auto card = session.ReadImage(c.err, exitCode);
  if (!card) return exitCode;
  if (asWritten != fileImage && !o.quiet) {
    c.err << "Note: compared with the values as the window shows them, which differ from the "
             "file's bytes.\n";
  }
  return PrintComparison(c.out, asWritten, *card, "File", "Card", session.Texts());
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
