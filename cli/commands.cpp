// quorvex-cli: the program's description, its commands in the order --help lists them, and one
// run of the command line.
#include "cli/commands.h"

#include <CLI/CLI.hpp>
#include <string>

#include "cli/command_setup.h"
#include "cli/error_report.h"
#include "core/version.h"

namespace quorvex::cli {

namespace {

using CommandSetup = void (*)(CLI::App&, CommandHost&);
constexpr CommandSetup kCommands[] = {
    SetupShowCommand,   SetupReadCommand,  SetupWriteCommand,
    SetupVerifyCommand, SetupDiffCommand,  SetupExportCommand,
    SetupImportCommand, SetupPortsCommand, SetupHistoryCommand,
};

void SetupProgram(CLI::App& app) {
  app.set_version_flag("--version", std::string(kProgram) + " " + kProgramVersion);
  // CLI11 reads "/name" as an option on Windows, which would take a path such as /data/a.kfg
  // (the current drive's root, or a path a POSIX shell passes on) for an unknown option. The
  // subcommands inherit this, so it comes before them.
  app.allow_windows_style_options(false);
  app.require_subcommand(1, 1);
  app.footer(kExitCodes);
}

}  // namespace

int RunCli(int argc, const char* const* argv, Console console) {
  CLI::App app{
      "Configures the eight outputs of the analogue output card: shows, compares and "
      "converts .KFG files, and writes, reads and verifies the card.",
      kProgram};
  SetupProgram(app);
  CommandHost host{console};
  for (const CommandSetup setup : kCommands) setup(app, host);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, console.out, console.err) == 0 ? kExitOk : kExitBadInput;
  }
  return host.exitCode;
}

}  // namespace quorvex::cli
