// Port lists and the combined exit code.
#include "cli/port_selection.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string_view>

#include "link/port_names.h"

namespace quorvex::cli {

namespace {

int PortNumber(std::string_view text, std::string_view value) {
  int n = 0;
  const char* end = text.data() + text.size();
  const auto [last, error] = std::from_chars(text.data(), end, n);
  if (text.empty() || error != std::errc{} || last != end) {
    throw std::invalid_argument("'" + std::string(value) +
                                "' is not a port list such as 3 or 3,4,5 or 3-10");
  }
  if (n < kFirstComPort || n > kLastComPort) {
    throw std::invalid_argument("COM" + std::string(text) + " in '" + std::string(value) +
                                "' is not a port (1 to 255)");
  }
  return n;
}

void AddItem(std::string_view item, std::string_view value, std::vector<int>& ports) {
  const std::size_t dash = item.find('-');
  const int first = PortNumber(item.substr(0, dash), value);
  const int last =
      dash == std::string_view::npos ? first : PortNumber(item.substr(dash + 1), value);
  if (last < first) {
    throw std::invalid_argument("the range '" + std::string(item) + "' runs backwards");
  }
  for (int n = first; n <= last; ++n) {
    if (std::find(ports.begin(), ports.end(), n) == ports.end()) ports.push_back(n);
  }
}

}  // namespace

std::vector<int> ParsePortList(const std::vector<std::string>& values) {
  std::vector<int> ports;
  for (const std::string& value : values) {
    std::string_view rest = value;
    for (;;) {
      const std::size_t comma = rest.find(',');
      AddItem(rest.substr(0, comma), value, ports);
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
  return ports;
}

std::string PortListError(const std::string& value) {
  try {
    ParsePortList({value});
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return {};
}

int CombineExitCodes(const std::vector<int>& codes) {
  int combined = 0;
  for (int code : codes) combined = std::max(combined, code);
  return combined;
}

}  // namespace quorvex::cli
