// Device servers in front of simulated cards, on 127.0.0.1 only: ser2net, socat and an RFC 2217
// server built on pyserial's port manager, for the tests and the benchmark that reach a card
// through a device server.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/network_port.h"

namespace quorvex::e2e {

// One port of the server: the device it serves and how it speaks.
struct Ser2netPort {
  std::string device;  // a terminal, e.g. the simulator's link; its target is what ser2net opens
  NetworkProtocol protocol = NetworkProtocol::Rfc2217;
  bool xonxoff =
      false;  // the port set to software flow control, as a box set up for another device
};

// A server program the tests start: its stdout and stderr into `log`, ready once it listens on
// every given TCP port of 127.0.0.1 itself (seen in /proc, so that no connection is made: a
// server may open its device for each); stopped (and reaped) on every path.
class ServerProcess {
 public:
  // Throws std::runtime_error when it cannot be started or does not listen in time.
  ServerProcess(const std::vector<std::string>& args, const std::string& log,
                const std::vector<int>& tcpPorts,
                std::chrono::milliseconds readyTimeout = std::chrono::seconds(10));
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  // SIGKILL at once, as a server that dies mid-transfer; waits for the end.
  void Kill();
  std::string Log() const;
  // The lines of its log so far that hold the text.
  int LogLines(const std::string& containing) const;

 private:
  void Stop(int signal);

  pid_t pid_ = -1;
  std::string log_;
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
  ~Ser2netServer() = default;
  Ser2netServer(const Ser2netServer&) = delete;
  Ser2netServer& operator=(const Ser2netServer&) = delete;

  NetworkEndpoint Endpoint(std::size_t port) const { return endpoints_.at(port); }
  std::string Url(std::size_t port) const { return NetworkEndpointUrl(Endpoint(port)); }
  // SIGKILL at once, as a server that dies mid-transfer; waits for the end.
  void Kill();

 private:
  std::vector<NetworkEndpoint> endpoints_;
  std::unique_ptr<ServerProcess> process_;
};

// A one-port server of another implementation, on a free TCP port of 127.0.0.1, whose log has a
// line for each session it accepted.
class CountingServer {
 public:
  NetworkEndpoint Endpoint() const { return endpoint_; }
  std::string Url() const { return NetworkEndpointUrl(endpoint_); }
  // The TCP sessions it accepted so far.
  int Sessions() const { return process_.LogLines(sessionLine_); }

 protected:
  // `command` is the server's command line for its TCP port.
  CountingServer(NetworkProtocol protocol,
                 const std::function<std::vector<std::string>(int tcpPort)>& command,
                 const std::string& log, std::string sessionLine);

 private:
  NetworkEndpoint endpoint_;
  ServerProcess process_;
  std::string sessionLine_;
};

// socat as the one-line raw bridge a technician sets up beside the analyser:
// `socat -d -d TCP-LISTEN:P,bind=127.0.0.1[,fork] FILE:DEVICE,raw,echo=0`. Without `fork` it
// serves one session and ends; with it, each session gets a child of its own that opens the
// device anew.
class SocatServer : public CountingServer {
 public:
  SocatServer(const std::string& device, const std::string& folder, bool fork);
};

// tests/e2e/rfc2217_server.py: pyserial's RFC 2217 port manager in front of the device, one
// session at a time.
class PortManagerServer : public CountingServer {
 public:
  PortManagerServer(const std::string& device, const std::string& folder);
};

// The first of `count` consecutive TCP ports of 127.0.0.1 that nothing used a moment ago.
int FreeTcpPorts(int count);

}  // namespace quorvex::e2e
