// The few names in which Winsock and POSIX sockets differ, for the sources of link/ that use
// sockets; one source then serves both. Included by .cpp files only (it brings the system's
// socket headers).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdint>

namespace quorvex::sockets {

#ifdef _WIN32
using Socket = SOCKET;
using IoLength = int;
using AddressLength = int;
inline constexpr Socket kNoSocket = INVALID_SOCKET;
inline constexpr int kRefused = WSAECONNREFUSED;
inline constexpr int kInterrupted = WSAEINTR;
inline constexpr int kSendFlags = 0;
inline int LastError() {
  return WSAGetLastError();
}
inline bool WouldBlock(int e) {
  return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS;
}
inline int PollSockets(pollfd* p, int timeoutMs) {
  return WSAPoll(p, 1, timeoutMs);
}
inline void CloseSocket(Socket s) {
  closesocket(s);
}
inline bool MakeNonBlocking(Socket s) {
  u_long on = 1;
  return ioctlsocket(s, static_cast<long>(FIONBIO), &on) == 0;
}
#else
using Socket = int;
using IoLength = std::size_t;
using AddressLength = socklen_t;
inline constexpr Socket kNoSocket = -1;
inline constexpr int kRefused = ECONNREFUSED;
inline constexpr int kInterrupted = EINTR;
// A server that went away must end the transfer through its failure path, not by SIGPIPE.
inline constexpr int kSendFlags = MSG_NOSIGNAL;
inline int LastError() {
  return errno;
}
inline bool WouldBlock(int e) {
  return e == EINPROGRESS || e == EAGAIN || e == EWOULDBLOCK;
}
inline int PollSockets(pollfd* p, int timeoutMs) {
  return ::poll(p, 1, timeoutMs);
}
inline void CloseSocket(Socket s) {
  ::close(s);
}
inline bool MakeNonBlocking(Socket s) {
  const int flags = ::fcntl(s, F_GETFL);
  return flags >= 0 && ::fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
#endif

inline Socket Of(std::intptr_t s) {
  return static_cast<Socket>(s);
}

}  // namespace quorvex::sockets
