// quorvex-cli's main(): the console streams, and whether stderr is a terminal for the bar.
#include <cstdio>
#include <iostream>

#include "cli/commands.h"

#ifdef _WIN32
#include <io.h>

#include <string>
#include <vector>

#include "storage/program_arguments.h"
#define QUORVEX_ISATTY _isatty
#define QUORVEX_FILENO _fileno
#else
#include <unistd.h>
#define QUORVEX_ISATTY isatty
#define QUORVEX_FILENO fileno
#endif

int main(int argc, char** argv) {
  const bool errIsTerminal = QUORVEX_ISATTY(QUORVEX_FILENO(stderr)) != 0;
#ifdef _WIN32
  // The command line's own argv, remade from the arguments Windows holds in UTF-16.
  std::vector<std::string> arguments = quorvex::ProgramArguments(argc, argv);
  arguments.insert(arguments.begin(), argc > 0 ? argv[0] : "quorvex-cli");
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  argc = static_cast<int>(arguments.size());
  argv = pointers.data();
#endif
  return quorvex::cli::RunCli(argc, argv, {std::cout, std::cerr, errIsTerminal});
}
