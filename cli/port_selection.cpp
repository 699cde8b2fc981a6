// Port lists and the combined exit code.
#include "cli/port_selection.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>
#include <string_view>

#include "link/port_names.h"
#include "procedures/network_assignments.h"
#include "storage/program_arguments.h"
#include "storage/settings_place.h"

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

void AddPort(int n, std::vector<int>& ports) {
  if (std::find(ports.begin(), ports.end(), n) == ports.end()) ports.push_back(n);
}

// A device server port, or a range of TCP ports on one host.
void AddNetworkItem(std::string_view item, std::string_view value, std::vector<int>& ports,
                    NetworkAssignments& network) {
  const std::string problem = "'" + std::string(item) + "' in '" + std::string(value) +
                              "' is not a device server port such as rfc2217://10.0.0.5:4001, "
                              "tcp://10.0.0.5:4001 or rfc2217://10.0.0.5:4001-4008";
  const std::size_t colon = item.rfind(':');
  const std::size_t dash = item.find('-', colon == std::string_view::npos ? 0 : colon);
  const std::string_view first = item.substr(0, dash);
  auto endpoint = ParseNetworkEndpoint(first);
  if (!endpoint) throw std::invalid_argument(problem);
  int last = endpoint->tcpPort;
  if (dash != std::string_view::npos) {
    const auto end = ParseNetworkEndpoint(std::string(first.substr(0, colon + 1)) +
                                          std::string(item.substr(dash + 1)));
    if (!end) throw std::invalid_argument(problem);
    last = end->tcpPort;
    if (last < endpoint->tcpPort) {
      throw std::invalid_argument("the range '" + std::string(item) + "' runs backwards");
    }
  }
  for (int tcpPort = endpoint->tcpPort; tcpPort <= last; ++tcpPort) {
    endpoint->tcpPort = tcpPort;
    const auto known = std::find_if(network.begin(), network.end(),
                                    [&](const auto& entry) { return entry.second == *endpoint; });
    if (known != network.end()) {
      AddPort(known->first, ports);
      continue;
    }
    const int n = kFirstNetworkPortNumber + static_cast<int>(network.size());
    network.emplace(n, *endpoint);
    AddPort(n, ports);
  }
}

void AddItem(std::string_view item, std::string_view value, std::vector<int>& ports,
             NetworkAssignments& network) {
  if (item.find("://") != std::string_view::npos) {
    AddNetworkItem(item, value, ports, network);
    return;
  }
  const std::size_t dash = item.find('-');
  const int first = PortNumber(item.substr(0, dash), value);
  const int last =
      dash == std::string_view::npos ? first : PortNumber(item.substr(dash + 1), value);
  if (last < first) {
    throw std::invalid_argument("the range '" + std::string(item) + "' runs backwards");
  }
  for (int n = first; n <= last; ++n) AddPort(n, ports);
}

}  // namespace

std::vector<int> ParsePortList(const std::vector<std::string>& values) {
  NetworkAssignments network;
  return ParsePortList(values, network);
}

std::vector<int> ParsePortList(const std::vector<std::string>& values,
                               NetworkAssignments& network) {
  std::vector<int> ports;
  for (const std::string& value : values) {
    std::string_view rest = value;
    for (;;) {
      const std::size_t comma = rest.find(',');
      AddItem(rest.substr(0, comma), value, ports, network);
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

std::string PortName(int port, const NetworkAssignments& network) {
  const auto at = network.find(port);
  return at == network.end() ? "COM" + std::to_string(port) : NetworkEndpointUrl(at->second);
}

std::string PortFileName(int port, const NetworkAssignments& network) {
  const auto at = network.find(port);
  if (at == network.end()) return std::to_string(port);
  // An IPv6 address's ':' is no part of a name on Windows.
  std::string name = at->second.host;
  for (char& c : name) {
    if (c == ':') c = '_';
  }
  return name + "-" + std::to_string(at->second.tcpPort);
}

std::optional<WindowPlace> WindowBeside() {
  const std::string self = ExecutablePath();
  const std::size_t folderEnd = self.find_last_of("/\\");
  if (folderEnd == std::string::npos) return std::nullopt;
#ifdef _WIN32
  const std::string window = self.substr(0, folderEnd + 1) + "quorvex.exe";
#else
  const std::string window = self.substr(0, folderEnd + 1) + "quorvex";
#endif
#ifdef QUORVEX_INSTALL_BINDIR
  const std::string installBinDir = QUORVEX_INSTALL_BINDIR;
#else
  const std::string installBinDir;
#endif
  return WindowPlace{window,
                     WindowSettingsPath(window, installBinDir, SettingsEnvironment::FromProcess())};
}

NetworkAssignments WindowAssignedPorts() {
  const std::optional<WindowPlace> window = WindowBeside();
  return window ? StoredNetworkAssignments(window->settingsPath) : NetworkAssignments{};
}

int CombineExitCodes(const std::vector<int>& codes) {
  int combined = 0;
  for (int code : codes) combined = std::max(combined, code);
  return combined;
}

}  // namespace quorvex::cli
