// One TCP connection to a device server, on POSIX sockets or Winsock: a bounded connect, and
// sends and receives that wait no longer than the caller's deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quorvex {

class TcpConnection {
 public:
  using Deadline = std::chrono::steady_clock::time_point;

  // Connected with TCP_NODELAY (each of the card's bytes leaves at once, not when Nagle's
  // algorithm lets it), or nullptr with `reason` set: "connection refused", "no answer within
  // 3 s", "host not found: ...".
  static std::unique_ptr<TcpConnection> Connect(const std::string& host, int port,
                                                std::chrono::milliseconds timeout,
                                                std::string& reason);
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
  // Waits for `events` (POLLIN or POLLOUT) by the deadline: 1 ready, 0 time-out, -1 failed.
  int Wait(short events, Deadline deadline, int& error) const;

  std::intptr_t socket_;
};

}  // namespace quorvex
