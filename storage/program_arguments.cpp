// The program's arguments: UTF-16 from Windows made UTF-8, argv as it is elsewhere.
#include "storage/program_arguments.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <memory>

#include "storage/atomic_file.h"
#endif

namespace quorvex {

namespace {

std::vector<std::string> FromArgv(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  if (wide && count > 0) {
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8FromWide(wide.get()[i]));
    return arguments;
  }
#endif
  return FromArgv(argc, argv);
}

}  // namespace quorvex
