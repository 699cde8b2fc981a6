// The shared options' names and help texts, written once for every command that takes them.
#include "cli/common_options.h"

#include <CLI/CLI.hpp>

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
  command->add_option("-p,--port", o.port, "COM port number (1 to 255)")
      ->required()
      ->check(CLI::Range(kFirstComPort, kLastComPort));
  command->add_flag("--wait", o.wait,
                    "wait for Enter at each prompt to connect or release the card");
}

PortNameEnvironment Environment(const CommonOptions& o) {
  PortNameEnvironment env = PortNameEnvironment::FromProcess();
  if (!o.comDir.empty()) env.comDir = o.comDir;
  return env;
}

}  // namespace quorvex::cli
