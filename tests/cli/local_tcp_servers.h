// TCP servers on 127.0.0.1 as a probe meets them: one that takes connections, one that never
// answers a connect, and a port where nothing listens.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace quorvex::testing {

// A socket bound to a free port of 127.0.0.1.
class BoundSocket {
 public:
  BoundSocket() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      throw std::runtime_error("no socket on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
  }
  ~BoundSocket() { Close(); }
  BoundSocket(const BoundSocket&) = delete;
  BoundSocket& operator=(const BoundSocket&) = delete;

  int Port() const { return port_; }
  int Fd() const { return fd_; }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  int port_ = 0;
};

// Takes connections: the kernel completes them, nobody needs to accept.
class AnsweringServer {
 public:
  AnsweringServer() {
    if (::listen(socket_.Fd(), 64) != 0) throw std::runtime_error("listen failed");
  }
  int Port() const { return socket_.Port(); }

  // Waits up to `timeoutMs` for a client that connects and closes again, as a probe does.
  bool SawProbe(int timeoutMs) {
    pollfd listening{socket_.Fd(), POLLIN, 0};
    if (::poll(&listening, 1, timeoutMs) != 1) return false;
    const int client = ::accept4(socket_.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
    pollfd p{client, POLLIN, 0};
    char byte = 0;
    const bool closed =
        client >= 0 && ::poll(&p, 1, timeoutMs) == 1 && ::read(client, &byte, 1) == 0;
    if (client >= 0) ::close(client);
    return closed;
  }
  // From now on connects are refused.
  void Stop() { socket_.Close(); }

 private:
  BoundSocket socket_;
};

// Never answers a connect: its queue of connections nobody accepts is full, and Linux drops the
// SYNs that come then, so a client's connect waits for its whole time-out.
class SilentServer {
 public:
  SilentServer() {
    if (::listen(socket_.Fd(), 0) != 0) throw std::runtime_error("listen failed");
    // Connections until one is no longer completed: from then on the queue is full.
    for (int tries = 0; tries < 8; ++tries) {
      fillers_.emplace_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      address.sin_port = htons(static_cast<std::uint16_t>(Port()));
      ::connect(fillers_.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
      pollfd p{fillers_.back(), POLLOUT, 0};
      if (::poll(&p, 1, 200) == 0) return;
    }
    throw std::runtime_error("the silent server's queue did not fill");
  }
  ~SilentServer() {
    for (int fd : fillers_) ::close(fd);
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  int Port() const { return socket_.Port(); }

 private:
  BoundSocket socket_;
  std::vector<int> fillers_;
};

// Bound and never listening: its port stays this test's, and a connect to it is refused.
using RefusingServer = BoundSocket;

}  // namespace quorvex::testing
