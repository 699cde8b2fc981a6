// Serial lines behind a device server on the network, reached by URL or through a COM number
// assigned to them.
#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "link/serial_line.h"
namespace quorvex {
enum class NetworkProtocol { Rfc2217, Raw };
struct NetworkEndpoint {
  NetworkProtocol protocol = NetworkProtocol::Rfc2217;
  std::string host;
  int tcpPort = 0;  // 1..65535
  bool operator==(const NetworkEndpoint&) const = default;
};
// "rfc2217://HOST:PORT" or "tcp://HOST:PORT" (scheme in any letter case; HOST a name, an IPv4
// address or a bracketed IPv6 address, which may name its zone: "[fe80::1%eth0]", "[fe80::1%12]",
// or with the '%' written "%25" as URLs have it); nothing for anything else. `host` keeps the
// zone behind a plain '%', as the system's lookup takes it.
std::optional<NetworkEndpoint> ParseNetworkEndpoint(std::string_view url);
// The URL form ParseNetworkEndpoint reads back: "rfc2217://10.0.0.5:4001",
// "rfc2217://[fe80::1%eth0]:4001".
std::string NetworkEndpointUrl(const NetworkEndpoint& endpoint);
// COM numbers served by a device server port instead of a port of this machine.
using NetworkAssignments = std::map<int, NetworkEndpoint>;
}  // namespace quorvex
