// Where a command prints, and the exit codes a script acts on: what every command file and the
// entry point share, below them all.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvex::cli {

// The exit codes a script acts on.
enum ExitCode : int {
  kExitOk = 0,                // done, or equal
  kExitDifferent = 1,         // files or card differ
  kExitBadInput = 2,          // bad usage, a bad input file, an output file that cannot be written
  kExitTransferFailed = 3,    // the card did not answer, an exchange failed
  kExitPortNotAvailable = 4,  // the port does not exist or another program holds it
  kExitInterrupted = 130,     // Ctrl+C
};

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool errIsTerminal = false;
  // When set, a command that compares also leaves the comparison's rows (header first) here.
  std::vector<std::vector<std::string>>* comparison = nullptr;
};

}  // namespace quorvex::cli
