// A subcommand with the common options, whose callback runs the command and keeps its exit code.
#include "cli/command_setup.h"

#include <CLI/CLI.hpp>
#include <utility>

#include "cli/common_options.h"
#include "cli/error_report.h"

namespace quorvex::cli {

CLI::App* AddCommand(CLI::App& app, CommandHost& host, const char* name, const char* help,
                     CommonOptions& o, CommandBody body) {
  CLI::App* command = app.add_subcommand(name, help);
  AddCommonOptions(command, o);
  command->footer(kExitCodes);
  command->callback([&host, body = std::move(body)] {
    host.exitCode = RunReported(host.console.err, [&] { return body(host.console); });
  });
  return command;
}

}  // namespace quorvex::cli
