// quorvex-cli's main(): the console streams, and whether stderr is a terminal for the bar.
#include <cstdio>
#include <iostream>

#include "cli/commands.h"

#ifdef _WIN32
#include <io.h>
#define QUORVEX_ISATTY _isatty
#define QUORVEX_FILENO _fileno
#else
#include <unistd.h>
#define QUORVEX_ISATTY isatty
#define QUORVEX_FILENO fileno
#endif

int main(int argc, char** argv) {
  const bool errIsTerminal = QUORVEX_ISATTY(QUORVEX_FILENO(stderr)) != 0;
  return quorvex::cli::RunCli(argc, argv, {std::cout, std::cerr, errIsTerminal});
}
