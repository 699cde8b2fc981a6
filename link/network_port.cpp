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

// An IPv6 address between the brackets, with its zone if it has one: "fe80::1%eth0" (and as
// RFC 6874 writes it in a URL, "fe80::1%25eth0"), Windows' "fe80::1%12". The host as the lookup
// takes it, or nothing. A zone keeps to the letters of a host name, so that it is safe in a URL
// and, with '%' replaced, in a file name.
std::optional<std::string> Ipv6Host(std::string_view text) {
  const std::size_t percent = text.find('%');
  const std::string_view address = text.substr(0, percent);
  if (address.empty() ||
      address.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos) {
    return std::nullopt;
  }
  if (percent == std::string_view::npos) return std::string(address);
  std::string_view zone = text.substr(percent + 1);
  if (zone.size() > 2 && zone.substr(0, 2) == "25") zone.remove_prefix(2);
  if (!ValidHostName(zone)) return std::nullopt;
  return std::string(address) + "%" + std::string(zone);
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
    const auto ipv6 = Ipv6Host(host.substr(1, host.size() - 2));
    if (!ipv6) return std::nullopt;
    endpoint.host = *ipv6;
  } else if (ValidHostName(host)) {
    endpoint.host = std::string(host);
  } else {
    return std::nullopt;
  }
  const char* end = port.data() + port.size();
  const auto [last, error] = std::from_chars(port.data(), end, endpoint.tcpPort);
  if (port.empty() || error != std::errc{} || last != end || endpoint.tcpPort < 1 ||
      endpoint.tcpPort > 65535) {
    return std::nullopt;
  }
  return endpoint;
}

std::string NetworkEndpointUrl(const NetworkEndpoint& endpoint) {
  const bool ipv6 = endpoint.host.find(':') != std::string::npos;
  std::string host = endpoint.host;
  // A zone that begins with "25" would read back as RFC 6874's "%25" and the rest.
  if (const std::size_t percent = host.find('%');
      percent != std::string::npos && host.compare(percent + 1, 2, "25") == 0) {
    host.insert(percent + 1, "25");
  }
  return std::string(endpoint.protocol == NetworkProtocol::Rfc2217 ? "rfc2217" : "tcp") + "://" +
         (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(endpoint.tcpPort);
}

}  // namespace quorvex
