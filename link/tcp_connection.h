// One TCP connection to a device server, on POSIX sockets or Winsock: a bounded connect, and
// sends and receives that wait no longer than the caller's deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/connect_wait.h"
#include "link/name_lookup.h"

namespace quorvex {

// Why Connect gave no connection.
struct ConnectProblem {
  ConnectFailure kind = ConnectFailure::None;
  // As the operator reads it: "connection refused", "no answer within 3 s", "host not found: ...".
  std::string reason;
};

class TcpConnection {
 public:
  using Deadline = std::chrono::steady_clock::time_point;

  // Connected with TCP_NODELAY (each of the card's bytes leaves at once, not when Nagle's
  // algorithm lets it), or nullptr with `problem` set. The time-out covers the name's lookup
  // too; each address of the name gets an equal share of what is left when its turn comes, so
  // a first address that never answers leaves time for the next. `wait` is the call the
  // connect is waited for with, the platform's own unless a test tries another.
  static std::unique_ptr<TcpConnection> Connect(const std::string& host, int port,
                                                std::chrono::milliseconds timeout,
                                                ConnectProblem& problem,
                                                ConnectWaitCall wait = PlatformConnectWait());
  // As above, with the reason alone.
  static std::unique_ptr<TcpConnection> Connect(const std::string& host, int port,
                                                std::chrono::milliseconds timeout,
                                                std::string& reason);
  // As above, to addresses already looked up, tried in their order.
  static std::unique_ptr<TcpConnection> Connect(const std::vector<SocketAddress>& addresses,
                                                std::chrono::milliseconds timeout,
                                                ConnectProblem& problem,
                                                ConnectWaitCall wait = PlatformConnectWait());
  ~TcpConnection();
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  // Every byte sent by the deadline; false when the connection failed or the time ran out (the
  // error code in `error`, 0 for a time-out).
  bool Send(const std::uint8_t* bytes, std::size_t count, Deadline deadline, int& error);
  // Waits until the deadline for bytes: how many came, 0 after the time-out, -1 when the
  // connection is closed or failed (`error` 0 for a close by the server).
  long Receive(std::uint8_t* bytes, std::size_t capacity, Deadline deadline, int& error);
  // Nothing more from this side: the server reads the end of the stream (and closes its own).
  void EndSending();

 private:
  explicit TcpConnection(std::intptr_t socket) : socket_(socket) {}
  // The connection on a connected socket; nullptr for none.
  static std::unique_ptr<TcpConnection> Adopt(std::intptr_t socket);
  // Waits for `events` (POLLIN or POLLOUT) by the deadline: 1 ready, 0 time-out, -1 failed.
  int Wait(short events, Deadline deadline, int& error) const;

  std::intptr_t socket_;
};

}  // namespace quorvex
