// A TCP connection on the platform's sockets. Winsock and POSIX differ only in names here
// (link/socket_platform.h), so one source serves both.
#include "link/tcp_connection.h"

#include <algorithm>
#include <cstring>

#include "link/name_lookup.h"
#include "link/socket_platform.h"

#ifdef _WIN32
#include <mstcpip.h>

#include "link/win32_text.h"
#endif

namespace quorvex {

using namespace sockets;

namespace {

#ifdef _WIN32
// mstcpip.h of the Windows SDK has it; MinGW-w64's does not (yet).
#ifndef SIO_TCP_SET_ACK_FREQUENCY
#define SIO_TCP_SET_ACK_FREQUENCY _WSAIOW(IOC_VENDOR, 23)
#endif

std::string ErrorText(int e) {
  return SystemMessage(static_cast<unsigned long>(e));
}

// Winsock wants its start before the first socket and counts starts and ends itself.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;

 private:
  bool started_ = false;
};
#else
std::string ErrorText(int e) {
  return std::strerror(e);
}
#endif

void StartSockets() {
#ifdef _WIN32
  static const WinsockSession winsock;
#endif
}

// A server that leaves Nagle's algorithm on holds each byte of a reply until the one before it
// is acknowledged, and a delayed acknowledgement takes up to 40 ms on Linux and up to 200 ms on
// Windows: acknowledged at once, every byte of a reply goes out as the card sends it. Linux
// falls back to delaying after a while, so this is asked again after every read.
void AckAtOnce([[maybe_unused]] Socket s) {
#ifdef TCP_QUICKACK
  int on = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

// Windows keeps its setting per socket once connected: every segment acknowledged. A Windows
// (or Wine) that refuses it leaves the server's own setting to decide.
void AckEverySegment([[maybe_unused]] Socket s) {
#ifdef _WIN32
  DWORD frequency = 1;
  DWORD returned = 0;
  WSAIoctl(s, SIO_TCP_SET_ACK_FREQUENCY, &frequency, sizeof frequency, nullptr, 0, &returned,
           nullptr, nullptr);
#endif
}

int MillisecondsLeft(TcpConnection::Deadline deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
}

ConnectProblem Failed(ConnectFailure kind, int error) {
  if (kind == ConnectFailure::Refused) return {kind, "connection refused"};
  return {kind, error != 0 ? ErrorText(error) : std::string("the connection failed")};
}

// One address tried by the deadline; the socket, or kNoSocket with `problem` set.
Socket TryAddress(const SocketAddress& a, TcpConnection::Deadline deadline, ConnectWaitCall wait,
                  ConnectProblem& problem) {
  const Socket s = ::socket(a.family, a.socketType, a.protocol);
  if (s == kNoSocket) {
    problem = Failed(ConnectFailure::Other, LastError());
    return kNoSocket;
  }
  int on = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  AckAtOnce(s);
  if (!MakeNonBlocking(s)) {
    problem = Failed(ConnectFailure::Other, LastError());
    CloseSocket(s);
    return kNoSocket;
  }
  const auto* address = reinterpret_cast<const sockaddr*>(a.bytes.data());
  if (::connect(s, address, static_cast<AddressLength>(a.bytes.size())) != 0) {
    const int e = LastError();
    const ConnectWaitResult result =
        WouldBlock(e)
            ? WaitForConnect(wait, static_cast<std::intptr_t>(s), deadline)
            : ConnectWaitResult{e == kRefused ? ConnectFailure::Refused : ConnectFailure::Other, e};
    if (result.failure != ConnectFailure::None) {
      problem = Failed(result.failure, result.error);
      CloseSocket(s);
      return kNoSocket;
    }
  }
  AckEverySegment(s);
  return s;
}

std::string NoAnswer(std::chrono::milliseconds timeout) {
  return "no answer within " + std::to_string(timeout.count() / 1000) + " s";
}

// The addresses in their order, each with an equal share of the time left when its turn comes.
Socket ConnectAny(const std::vector<SocketAddress>& addresses, TcpConnection::Deadline deadline,
                  std::chrono::milliseconds timeout, ConnectWaitCall wait,
                  ConnectProblem& problem) {
  using SteadyClock = std::chrono::steady_clock;
  Socket s = kNoSocket;
  const std::size_t count = addresses.size();
  for (std::size_t i = 0; i < count && s == kNoSocket; ++i) {
    const auto left = deadline - SteadyClock::now();
    if (left <= SteadyClock::duration::zero()) {
      problem = {ConnectFailure::NoAnswer, {}};
      break;
    }
    const auto share = left / static_cast<long>(count - i);
    s = TryAddress(addresses[i], SteadyClock::now() + share, wait, problem);
  }
  if (count == 0) problem = {ConnectFailure::HostNotFound, "host not found"};
  if (s == kNoSocket && problem.kind == ConnectFailure::NoAnswer) {
    problem.reason = NoAnswer(timeout);
  }
  return s;
}

}  // namespace

std::unique_ptr<TcpConnection> TcpConnection::Connect(const std::string& host, int port,
                                                      std::chrono::milliseconds timeout,
                                                      ConnectProblem& problem,
                                                      ConnectWaitCall wait) {
  StartSockets();
  const Deadline deadline = std::chrono::steady_clock::now() + timeout;
  problem = {};
  const NameLookup found = LookUpName(host, port, deadline);
  if (found.failure != ConnectFailure::None) {
    problem = {found.failure, found.failure == ConnectFailure::Other ? found.reason
                              : found.failure == ConnectFailure::NoAnswer
                                  ? "host not found: " + NoAnswer(timeout)
                                  : "host not found: " + found.reason};
    return nullptr;
  }
  return Adopt(
      static_cast<std::intptr_t>(ConnectAny(found.addresses, deadline, timeout, wait, problem)));
}

std::unique_ptr<TcpConnection> TcpConnection::Connect(const std::vector<SocketAddress>& addresses,
                                                      std::chrono::milliseconds timeout,
                                                      ConnectProblem& problem,
                                                      ConnectWaitCall wait) {
  StartSockets();
  problem = {};
  return Adopt(static_cast<std::intptr_t>(
      ConnectAny(addresses, std::chrono::steady_clock::now() + timeout, timeout, wait, problem)));
}

std::unique_ptr<TcpConnection> TcpConnection::Connect(const std::string& host, int port,
                                                      std::chrono::milliseconds timeout,
                                                      std::string& reason) {
  ConnectProblem problem;
  auto connection = Connect(host, port, timeout, problem);
  reason = problem.reason;
  return connection;
}

std::unique_ptr<TcpConnection> TcpConnection::Adopt(std::intptr_t socket) {
  if (Of(socket) == kNoSocket) return nullptr;
  return std::unique_ptr<TcpConnection>(new TcpConnection(socket));
}

TcpConnection::~TcpConnection() {
  CloseSocket(Of(socket_));
}

void TcpConnection::EndSending() {
#ifdef _WIN32
  ::shutdown(Of(socket_), SD_SEND);
#else
  ::shutdown(Of(socket_), SHUT_WR);
#endif
}

int TcpConnection::Wait(short events, Deadline deadline, int& error) const {
  for (;;) {
    pollfd p{};
    p.fd = Of(socket_);
    p.events = events;
    const int r = PollSockets(&p, MillisecondsLeft(deadline));
    if (r < 0 && LastError() == kInterrupted) continue;
    if (r < 0) {
      error = LastError();
      return -1;
    }
    // A hang-up or error is left to the read or write that follows, which tells which it was.
    return r == 0 ? 0 : 1;
  }
}

bool TcpConnection::Send(const std::uint8_t* bytes, std::size_t count, Deadline deadline,
                         int& error) {
  error = 0;
  while (count > 0) {
    const int ready = Wait(POLLOUT, deadline, error);
    if (ready <= 0) return false;
    const auto n = ::send(Of(socket_), reinterpret_cast<const char*>(bytes),
                          static_cast<IoLength>(count), kSendFlags);
    if (n < 0) {
      const int e = LastError();
      if (WouldBlock(e) || e == kInterrupted) continue;
      error = e;
      return false;
    }
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

long TcpConnection::Receive(std::uint8_t* bytes, std::size_t capacity, Deadline deadline,
                            int& error) {
  error = 0;
  for (;;) {
    const int ready = Wait(POLLIN, deadline, error);
    if (ready < 0) return -1;
    if (ready == 0) return 0;
    const auto n =
        ::recv(Of(socket_), reinterpret_cast<char*>(bytes), static_cast<IoLength>(capacity), 0);
    if (n > 0) {
      AckAtOnce(Of(socket_));
      return static_cast<long>(n);
    }
    if (n == 0) return -1;  // closed by the server
    const int e = LastError();
    if (WouldBlock(e) || e == kInterrupted) {
      if (std::chrono::steady_clock::now() >= deadline) return 0;
      continue;
    }
    error = e;
    return -1;
  }
}

}  // namespace quorvex
