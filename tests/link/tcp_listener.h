// A TCP socket on 127.0.0.1 for the tests of connects, on POSIX sockets or Winsock.
#pragma once

#include <stdexcept>

#include "link/socket_platform.h"

namespace quorvex::testing {

class TcpListener {
 public:
  // Listening with this backlog; without one, bound only: a connect to it is refused.
  explicit TcpListener(int backlog = -1) {
#ifdef _WIN32
    static const bool started = [] {
      WSADATA data;
      return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) throw std::runtime_error("WSAStartup failed");
#endif
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sockets::AddressLength length = sizeof address;
    if (socket_ == sockets::kNoSocket ||
        ::bind(socket_, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        (backlog >= 0 && ::listen(socket_, backlog) != 0) ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("no socket on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
  }
  ~TcpListener() {
    sockets::CloseSocket(socket_);
  }
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  int Port() const {
    return port_;
  }

  // Whether a client is waiting to be accepted, looked at without waiting.
  bool Pending() const {
    pollfd p{};
    p.fd = socket_;
    p.events = POLLIN;
    return sockets::PollSockets(&p, 0) > 0;
  }

  // Takes the first waiting client and drops it.
  void AcceptOne() {
    const sockets::Socket client = ::accept(socket_, nullptr, nullptr);
    if (client != sockets::kNoSocket) sockets::CloseSocket(client);
  }

 private:
  sockets::Socket socket_ = sockets::kNoSocket;
  int port_ = 0;
};

}  // namespace quorvex::testing
