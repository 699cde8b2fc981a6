#include <string>
#include <vector>

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
  if (arguments.empty()) return false;
  std::string first = arguments.front();
  // Only a to z are raised: the switch word is plain ASCII and other bytes must stay as they are.
  for (char& c : first) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return first == "DEBUG";
}

}  // namespace quorvex
