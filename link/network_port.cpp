// Device server ports: their URLs.
#include "link/network_port.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quorvex {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

bool ValidHostName(std::string_view host) {
  return !host.empty() && std::all_of(host.begin(), host.end(), [](unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_';
  });
}

}  // namespace

std::optional<NetworkEndpoint> ParseNetworkEndpoint(std::string_view url) {
  NetworkEndpoint endpoint;
  const std::size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string_view::npos) return std::nullopt;
  const std::string scheme = Lower(url.substr(0, schemeEnd));
  if (scheme == "rfc2217") {
    endpoint.protocol = NetworkProtocol::Rfc2217;
  } else if (scheme == "tcp") {
    endpoint.protocol = NetworkProtocol::Raw;
  } else {
    return std::nullopt;
  }
  std::string_view rest = url.substr(schemeEnd + 3);
  const std::size_t colon = rest.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view host = rest.substr(0, colon);
  const std::string_view port = rest.substr(colon + 1);
  if (!host.empty() && host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return std::nullopt;
    host = host.substr(1, host.size() - 2);
    if (host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos) {
      return std::nullopt;
    }
  } else if (!ValidHostName(host)) {
    return std::nullopt;
  }
  const char* end = port.data() + port.size();
  const auto [last, error] = std::from_chars(port.data(), end, endpoint.tcpPort);
  if (port.empty() || error != std::errc{} || last != end || endpoint.tcpPort < 1 ||
      endpoint.tcpPort > 65535) {
    return std::nullopt;
  }
  endpoint.host = std::string(host);
  return endpoint;
}

std::string NetworkEndpointUrl(const NetworkEndpoint& endpoint) {
  const bool ipv6 = endpoint.host.find(':') != std::string::npos;
  return std::string(endpoint.protocol == NetworkProtocol::Rfc2217 ? "rfc2217" : "tcp") + "://" +
         (ipv6 ? "[" + endpoint.host + "]" : endpoint.host) + ":" +
         std::to_string(endpoint.tcpPort);
}

}  // namespace quorvex
