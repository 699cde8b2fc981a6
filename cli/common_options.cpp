// The shared options' names and help texts, written once for every command that takes them.
#include "cli/common_options.h"

#include <CLI/CLI.hpp>

#include "cli/port_selection.h"

namespace quorvex::cli {

void AddCommonOptions(CLI::App* command, CommonOptions& o) {
  command->add_option("--com-dir", o.comDir,
                      "folder whose COM<n> links name the ports (as QUORVEX_COM_DIR)");
  command->add_option("--trace", o.trace,
                      "write every frame, with milliseconds since start, and the debug lines to "
                      "this file");
  command->add_flag("-q,--quiet", o.quiet, "print only results and errors");
}

void AddCardOptions(CLI::App* command, CardOptions& o) {
  // A single number is checked as it always was; anything else must be a port list.
  const CLI::Validator portList(
      [](std::string& value) {
        const bool number =
            !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
        if (number) return CLI::Range(kFirstComPort, kLastComPort)(value);
        return PortListError(value);
      },
      "PORTS");
  command
      ->add_option("-p,--port", o.portValues,
                   "COM port number (1 to 255) or a device server's port (rfc2217://HOST:PORT, "
                   "tcp://HOST:PORT); several cards at once: a list (3,4,5), a range (3-10, "
                   "rfc2217://HOST:4001-4008), or --port again")
      ->required()
      ->type_size(1)
      ->allow_extra_args(false)
      ->check(portList);
  command->add_option("--log", o.log,
                      "append one JSON line per card to this file (time, host, port, device, "
                      "file and its SHA-256, outcome, differences, seconds)");
  AddHistoryFileOptions(command, o.history, &o.noHistory);
  command->add_option("--tag", o.tag,
                      "the card's tag for the history (the analyser's plant tag); with several "
                      "ports {port} in it becomes each port's number");
  command->add_flag("--wait", o.wait,
                    "wait for Enter at each prompt to connect or release the card");
}

void AddHistoryFileOptions(CLI::App* command, std::string& file, bool* none) {
  CLI::Option* history = command->add_option(
      "--history", file,
      "the history in this file instead of the default place (exit code 2 when it cannot be "
      "opened)");
  if (none != nullptr) {
    command->add_flag("--no-history", *none, "keep no history of this command's transfers")
        ->excludes(history);
  }
}

PortNameEnvironment Environment(const CommonOptions& o) {
  PortNameEnvironment env = PortNameEnvironment::FromProcess();
  if (!o.comDir.empty()) env.comDir = o.comDir;
  return env;
}

}  // namespace quorvex::cli
