// What each command's file builds on: its subcommand registered with the common options and a
// callback that leaves the command's exit code; and the eight commands' setup functions.
#pragma once

#include <functional>

#include "cli/console.h"

namespace CLI {
class App;
}

namespace quorvex::cli {

struct CommonOptions;

// The footer of --help, for the program and each command.
inline constexpr const char* kExitCodes =
    "Exit codes: 0 done or equal; 1 files or card differ; 2 bad usage, bad input file\n"
    "or an output file that cannot be written; 3 transfer failed; 4 port not available;\n"
    "130 interrupted. With several ports: 0 when every card is done and equal, otherwise\n"
    "the highest of 1 (some differ), 3 (some failed) and 4 (some port not available).";

// What the commands' callbacks share with RunCli: where they print, and the exit code they leave.
struct CommandHost {
  Console console;
  int exitCode = kExitBadInput;
};

// A command's body: its options are bound in; returns the exit code, may throw.
using CommandBody = std::function<int(Console&)>;

// Adds the subcommand with the options every command takes. When it is given, `body` runs after
// the whole command line was parsed, and what it throws is reported and left as an exit code.
CLI::App* AddCommand(CLI::App& app, CommandHost& host, const char* name, const char* help,
                     CommonOptions& o, CommandBody body);

// One per command, in the order --help lists them.
void SetupShowCommand(CLI::App& app, CommandHost& host);
void SetupReadCommand(CLI::App& app, CommandHost& host);
void SetupWriteCommand(CLI::App& app, CommandHost& host);
void SetupVerifyCommand(CLI::App& app, CommandHost& host);
void SetupDiffCommand(CLI::App& app, CommandHost& host);
void SetupExportCommand(CLI::App& app, CommandHost& host);
void SetupImportCommand(CLI::App& app, CommandHost& host);
void SetupPortsCommand(CLI::App& app, CommandHost& host);
void SetupHistoryCommand(CLI::App& app, CommandHost& host);

}  // namespace quorvex::cli
