// A TCP connection on the platform's sockets. Winsock and POSIX differ only in names here, so one
// source serves both.
#include "link/tcp_connection.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#endif

#include <algorithm>
#include <cerrno>

namespace quorvex {

namespace {

#ifdef _WIN32
using Socket = SOCKET;
using IoLength = int;
using AddressLength = int;
constexpr Socket kNoSocket = INVALID_SOCKET;
int LastError() {
  return WSAGetLastError();
}
bool WouldBlock(int e) {
  return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS;
}
int PollSockets(pollfd* p, int timeoutMs) {
  return WSAPoll(p, 1, timeoutMs);
}
void CloseSocket(Socket s) {
  closesocket(s);
}
bool MakeNonBlocking(Socket s) {
  u_long on = 1;
  return ioctlsocket(s, static_cast<long>(FIONBIO), &on) == 0;
}
constexpr int kRefused = WSAECONNREFUSED;
constexpr int kSendFlags = 0;
std::string ErrorText(int e) {
  char* text = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(e), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = text != nullptr ? text : "error " + std::to_string(e);
  LocalFree(text);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == '.' || result.back() == ' ')) {
    result.pop_back();
  }
  return result;
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
using Socket = int;
using IoLength = std::size_t;
using AddressLength = socklen_t;
constexpr Socket kNoSocket = -1;
int LastError() {
  return errno;
}
bool WouldBlock(int e) {
  return e == EINPROGRESS || e == EAGAIN || e == EWOULDBLOCK;
}
int PollSockets(pollfd* p, int timeoutMs) {
  return ::poll(p, 1, timeoutMs);
}
void CloseSocket(Socket s) {
  ::close(s);
}
bool MakeNonBlocking(Socket s) {
  const int flags = ::fcntl(s, F_GETFL);
  return flags >= 0 && ::fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
constexpr int kRefused = ECONNREFUSED;
// A server that went away must end the transfer through its failure path, not by SIGPIPE.
constexpr int kSendFlags = MSG_NOSIGNAL;
std::string ErrorText(int e) {
  return std::strerror(e);
}
#endif

Socket Of(std::intptr_t s) {
  return static_cast<Socket>(s);
}

// A server that leaves Nagle's algorithm on holds each byte of a reply until the one before it
// is acknowledged, and a delayed acknowledgement takes up to 40 ms: acknowledged at once, every
// byte of a reply goes out as the card sends it. Linux falls back to delaying after a while, so
// this is asked again after every read; elsewhere the server's own setting decides.
void AckAtOnce([[maybe_unused]] Socket s) {
#ifdef TCP_QUICKACK
  int on = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
}

int MillisecondsLeft(TcpConnection::Deadline deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
}

std::string ConnectError(int e) {
  return e == kRefused ? std::string("connection refused") : ErrorText(e);
}

// One address tried by the deadline; the socket, or kNoSocket with `reason` set.
Socket TryAddress(const addrinfo& a, TcpConnection::Deadline deadline, std::string& reason) {
  const Socket s = ::socket(a.ai_family, a.ai_socktype, a.ai_protocol);
  if (s == kNoSocket) {
    reason = ErrorText(LastError());
    return kNoSocket;
  }
  int on = 1;
  ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  AckAtOnce(s);
  if (!MakeNonBlocking(s)) {
    reason = ErrorText(LastError());
    CloseSocket(s);
    return kNoSocket;
  }
  if (::connect(s, a.ai_addr, static_cast<AddressLength>(a.ai_addrlen)) != 0) {
    const int e = LastError();
    if (!WouldBlock(e)) {
      reason = ConnectError(e);
      CloseSocket(s);
      return kNoSocket;
    }
    pollfd p{};
    p.fd = s;
    p.events = POLLOUT;
    int r = 0;
    do {
      r = PollSockets(&p, MillisecondsLeft(deadline));
    } while (r < 0 && LastError() == EINTR);
    int soError = 0;
    AddressLength length = sizeof soError;
    if (r == 0) {
      reason = "no answer";
    } else if (r < 0) {
      reason = ErrorText(LastError());
    } else if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length) !=
                   0 ||
               soError != 0) {
      reason = ConnectError(soError);
    }
    if (!reason.empty()) {
      CloseSocket(s);
      return kNoSocket;
    }
  }
  return s;
}

}  // namespace

std::unique_ptr<TcpConnection> TcpConnection::Connect(const std::string& host, int port,
                                                      std::chrono::milliseconds timeout,
                                                      std::string& reason) {
#ifdef _WIN32
  static const WinsockSession winsock;
#endif
  const Deadline deadline = std::chrono::steady_clock::now() + timeout;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int e = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); e != 0) {
    reason = std::string("host not found: ") + gai_strerror(e);
    return nullptr;
  }
  Socket s = kNoSocket;
  for (const addrinfo* a = found; a != nullptr && s == kNoSocket; a = a->ai_next) {
    reason.clear();
    s = TryAddress(*a, deadline, reason);
  }
  ::freeaddrinfo(found);
  if (s == kNoSocket) {
    if (reason == "no answer") {
      reason += " within " + std::to_string(timeout.count() / 1000) + " s";
    }
    return nullptr;
  }
  reason.clear();
  return std::unique_ptr<TcpConnection>(new TcpConnection(static_cast<std::intptr_t>(s)));
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
    if (r < 0 && LastError() == EINTR) continue;
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
      if (WouldBlock(e) || e == EINTR) continue;
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
    if (WouldBlock(e) || e == EINTR) {
      if (std::chrono::steady_clock::now() >= deadline) return 0;
      continue;
    }
    error = e;
    return -1;
  }
}

}  // namespace quorvex
