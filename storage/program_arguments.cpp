// The program's arguments: UTF-16 from Windows made UTF-8, argv as it is elsewhere.
#include "storage/program_arguments.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <memory>

#include "storage/atomic_file.h"
#else
#include <filesystem>
#include <system_error>
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

std::string ExecutablePath() {
#ifdef _WIN32
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return Utf8FromWide(std::wstring_view(path.data(), length));
    path.resize(path.size() * 2);  // cut short: a long path of a deep folder
  }
#else
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
#endif
}

}  // namespace quorvex
