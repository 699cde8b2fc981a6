// quorvex-cli's main(): the console streams, and whether stderr is a terminal for the bar.
#include <cstdio>
#include <iostream>

#include "cli/commands.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "storage/atomic_file.h"
#define QUORVEX_ISATTY _isatty
#define QUORVEX_FILENO _fileno
#else
#include <unistd.h>
#define QUORVEX_ISATTY isatty
#define QUORVEX_FILENO fileno
#endif

#ifdef _WIN32
namespace {

// The arguments as Windows holds them, in UTF-16, made UTF-8 as every path of ours is: the C
// library's own come through the system's code page, which cannot hold every letter of a name.
std::vector<std::string> Utf8Arguments() {
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> arguments;
  if (!wide) return arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(quorvex::Utf8FromWide(wide.get()[i]));
  return arguments;
}

}  // namespace
#endif

int main(int argc, char** argv) {
  const bool errIsTerminal = QUORVEX_ISATTY(QUORVEX_FILENO(stderr)) != 0;
#ifdef _WIN32
  std::vector<std::string> arguments = Utf8Arguments();
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  if (!arguments.empty()) {
    argc = static_cast<int>(arguments.size());
    argv = pointers.data();
  }
#endif
  return quorvex::cli::RunCli(argc, argv, {std::cout, std::cerr, errIsTerminal});
}
