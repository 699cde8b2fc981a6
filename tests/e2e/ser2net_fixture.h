// ser2net in front of simulated cards, on 127.0.0.1 only: for the tests and the benchmark that
// reach a card through a device server.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/network_port.h"

namespace quorvex::e2e {

// One port of the server: the device it serves and how it speaks.
struct Ser2netPort {
  std::string device;  // a terminal, e.g. the simulator's link; its target is what ser2net opens
  NetworkProtocol protocol = NetworkProtocol::Rfc2217;
};

// A running ser2net (`-n -u -c FILE`) with a configuration of its own written into `folder`:
// one accepter per port on consecutive free TCP ports of 127.0.0.1 (so that a range names them),
// 1200n81, `chardelay: false` unless told otherwise. Ready once it listens on every port itself
// (seen in /proc, so that no connection is made: ser2net opens its device for each); stopped (and
// reaped) on every path.
class Ser2netServer {
 public:
  // Throws std::runtime_error when ser2net cannot be started or does not listen in time.
  Ser2netServer(const std::vector<Ser2netPort>& ports, const std::string& folder,
                bool chardelay = false,
                std::chrono::milliseconds readyTimeout = std::chrono::seconds(10));
  ~Ser2netServer();
  Ser2netServer(const Ser2netServer&) = delete;
  Ser2netServer& operator=(const Ser2netServer&) = delete;

  NetworkEndpoint Endpoint(std::size_t port) const { return endpoints_.at(port); }
  std::string Url(std::size_t port) const { return NetworkEndpointUrl(Endpoint(port)); }
  // SIGKILL at once, as a server that dies mid-transfer; waits for the end.
  void Kill();

 private:
  void Stop(int signal);

  pid_t pid_ = -1;
  std::vector<NetworkEndpoint> endpoints_;
};

// The first of `count` consecutive TCP ports of 127.0.0.1 that nothing used a moment ago.
int FreeTcpPorts(int count);

}  // namespace quorvex::e2e
