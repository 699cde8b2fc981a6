// A host's addresses for a TCP port, looked up by a deadline. The system's lookup has no time
// limit of its own: a name is looked up on a thread of its own, which the caller leaves behind
// when the deadline passes (the thread owns everything it touches and ends with the system's
// own lookup time-out). An address written as numbers needs no name server and is read at once.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "link/connect_wait.h"

namespace quorvex {

// One address as the socket calls take it.
struct SocketAddress {
  int family = 0;
  int socketType = 0;
  int protocol = 0;
  std::vector<unsigned char> bytes;  // the sockaddr, scope id and all
};

struct NameLookup {
  std::vector<SocketAddress> addresses;  // in the order the system gives them; empty: failed
  ConnectFailure failure = ConnectFailure::None;
  std::string reason;  // the system's words for a failure, "" when it did not fail
};

// The addresses of `host` (a name, an IPv4 address, an IPv6 address with or without "%zone")
// for TCP port `port`, by the deadline. A lookup that has not ended by then fails with NoAnswer.
NameLookup LookUpName(const std::string& host, int port,
                      std::chrono::steady_clock::time_point deadline);

}  // namespace quorvex
