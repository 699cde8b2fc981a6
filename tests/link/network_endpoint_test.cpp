// IPv6 zones in device server URLs: as typed, as RFC 6874 writes them, and as written back.
#include <gtest/gtest.h>

#include "link/network_port.h"

namespace quorvex {
namespace {

TEST(NetworkEndpointTest, Ipv6ZonesReadBackAsWritten) {
  struct Case {
    const char* url;
    const char* host;     // as the lookup takes it; nullptr: refused
    const char* written;  // the URL form written back
  };
  const Case cases[] = {
      {"rfc2217://[fe80::1%eth0]:4001", "fe80::1%eth0", "rfc2217://[fe80::1%eth0]:4001"},
      {"rfc2217://[fe80::1%25eth0]:4001", "fe80::1%eth0", "rfc2217://[fe80::1%eth0]:4001"},
      {"tcp://[fe80::1%12]:4001", "fe80::1%12", "tcp://[fe80::1%12]:4001"},
      {"tcp://[fe80::1%2512]:4001", "fe80::1%12", "tcp://[fe80::1%12]:4001"},
      // Zone 25, and a zone that begins with 25: written so that they read back the same.
      {"tcp://[fe80::1%25]:4001", "fe80::1%25", "tcp://[fe80::1%2525]:4001"},
      {"tcp://[fe80::1%252501]:4001", "fe80::1%2501", "tcp://[fe80::1%252501]:4001"},
      {"tcp://[fe80::a:b%enp0s31f6.100]:7", "fe80::a:b%enp0s31f6.100",
       "tcp://[fe80::a:b%enp0s31f6.100]:7"},
      {"tcp://[fe80::1%]:4001", nullptr, ""},
      {"tcp://[fe80::1%eth/0]:4001", nullptr, ""},
      {"tcp://[fe80::1%eth 0]:4001", nullptr, ""},
      {"tcp://[%eth0]:4001", nullptr, ""},
      {"tcp://fe80::1%eth0:4001", nullptr, ""},
      {"tcp://10.0.0.5%eth0:4001", nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto parsed = ParseNetworkEndpoint(c.url);
    ASSERT_EQ(parsed.has_value(), c.host != nullptr);
    if (!parsed) continue;
    EXPECT_EQ(parsed->host, c.host);
    EXPECT_EQ(NetworkEndpointUrl(*parsed), c.written);
    EXPECT_EQ(ParseNetworkEndpoint(NetworkEndpointUrl(*parsed)), parsed);
  }
}

}  // namespace
}  // namespace quorvex
