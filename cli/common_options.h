// The options every command takes, and those every command that talks to the card adds.
#pragma once

#include <string>

#include "link/port_names.h"

namespace CLI {
class App;
}

namespace quorvex::cli {

// --com-dir, --trace, --quiet.
struct CommonOptions {
  std::string comDir;
  std::string trace;
  bool quiet = false;
};

// --port, --wait, beside the common ones.
struct CardOptions : CommonOptions {
  int port = 0;
  bool wait = false;
};

void AddCommonOptions(CLI::App* command, CommonOptions& o);
void AddCardOptions(CLI::App* command, CardOptions& o);

// Where COM numbers lead: the process's environment, with --com-dir in place of QUORVEX_COM_DIR.
PortNameEnvironment Environment(const CommonOptions& o);

}  // namespace quorvex::cli
