// The command line's entry point.
#pragma once

#include "cli/console.h"

namespace quorvex::cli {

// Parses the arguments and runs one command; returns its exit code. Never throws.
int RunCli(int argc, const char* const* argv, Console console);

}  // namespace quorvex::cli
