// The settings file beside the executable, and the DEBUG switch of the command line.
#include <string>
#include <vector>

#include "storage/ascii_case.h"
#include "storage/settings.h"

namespace quorvex {

std::string SettingsPathFor(const std::string& executablePath) {
  const auto nameStart = executablePath.find_last_of("/\\:");
  const auto dot = executablePath.find_last_of('.');
  const bool hasExtension =
      dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart);
  return (hasExtension ? executablePath.substr(0, dot) : executablePath) + ".ini";
}

bool DebugSwitchFromArguments(const std::vector<std::string>& arguments) {
  return !arguments.empty() && EqualIgnoringAsciiCase(arguments.front(), "DEBUG");
}

}  // namespace quorvex
