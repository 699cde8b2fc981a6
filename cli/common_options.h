// The options every command takes, and those every command that talks to the card adds.
#pragma once

#include <string>
#include <vector>

#include "link/network_port.h"
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

class InterruptSource;
struct CardProgress;

// --port, --wait, --log, --history, --no-history, --tag, beside the common ones.
struct CardOptions : CommonOptions {
  int port = 0;
  bool wait = false;
  std::vector<std::string> portValues;  // --port as given: "3", "3,4,5", "3-10"
  std::vector<int> ports;
  NetworkAssignments network;  // the numbers of ports given by URL, and their servers
  // COM numbers the window assigned to device server ports; they win over a local port.
  NetworkAssignments assigned;
  std::string log;
  // The history: another file than the default, none at all, the card's tag ({port} allowed).
  std::string history;
  bool noHistory = false;
  std::string tag;
  // One card of many: the batch's interrupt, and where the card's thread shows its progress.
  InterruptSource* interrupt = nullptr;
  CardProgress* progress = nullptr;
};

void AddCommonOptions(CLI::App* command, CommonOptions& o);
void AddCardOptions(CLI::App* command, CardOptions& o);
// --history FILE, and --no-history where `none` is given: for the card commands and the history
// command alike.
void AddHistoryFileOptions(CLI::App* command, std::string& file, bool* none);

// Where COM numbers lead: the process's environment, with --com-dir in place of QUORVEX_COM_DIR.
PortNameEnvironment Environment(const CommonOptions& o);

}  // namespace quorvex::cli
