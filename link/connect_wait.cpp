// The connect wait with poll (WSAPoll) or select, and the reading of what either saw.
#include "link/connect_wait.h"

#include <algorithm>

#include "link/socket_platform.h"

namespace quorvex {

using namespace sockets;

namespace {

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 60'000));
}

int PollOnce(Socket s, int timeoutMs, SocketSignals& seen) {
  pollfd p{};
  p.fd = s;
  p.events = POLLOUT;
  const int r = PollSockets(&p, timeoutMs);
  if (r > 0) {
    seen.writable = (p.revents & POLLOUT) != 0;
    seen.failed = (p.revents & (POLLERR | POLLHUP)) != 0;
  }
  return r;
}

int SelectOnce(Socket s, int timeoutMs, SocketSignals& seen) {
#ifndef _WIN32
  if (s >= FD_SETSIZE) {
    errno = EINVAL;
    return -1;
  }
#endif
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval wait{};
  wait.tv_sec = timeoutMs / 1000;
  wait.tv_usec = (timeoutMs % 1000) * 1000;
  // Winsock ignores the first argument.
  const int r = ::select(static_cast<int>(s) + 1, nullptr, &writable, &failed, &wait);
  if (r > 0) {
    seen.writable = FD_ISSET(s, &writable) != 0;
    seen.failed = FD_ISSET(s, &failed) != 0;
  }
  return r;
}

}  // namespace

ConnectWaitCall PlatformConnectWait() {
#ifdef _WIN32
  return ConnectWaitCall::Select;
#else
  return ConnectWaitCall::Poll;
#endif
}

std::optional<ConnectWaitResult> JudgeConnectWait(int waitResult, SocketSignals seen, int error) {
  if (waitResult < 0) return ConnectWaitResult{ConnectFailure::Other, error};
  if (waitResult == 0) return ConnectWaitResult{ConnectFailure::NoAnswer, 0};
  if (error != 0) {
    return ConnectWaitResult{error == kRefused ? ConnectFailure::Refused : ConnectFailure::Other,
                             error};
  }
  // A failure the socket gives no code for is still a failure, never a connection.
  if (seen.failed) return ConnectWaitResult{ConnectFailure::Other, 0};
  if (seen.writable) return ConnectWaitResult{};
  return std::nullopt;
}

ConnectWaitResult WaitForConnect(ConnectWaitCall call, std::intptr_t socket,
                                 std::chrono::steady_clock::time_point deadline) {
  const Socket s = Of(socket);
  for (;;) {
    SocketSignals seen;
    const int timeoutMs = MillisecondsLeft(deadline);
    const int r = call == ConnectWaitCall::Select ? SelectOnce(s, timeoutMs, seen)
                                                  : PollOnce(s, timeoutMs, seen);
    int error = 0;
    if (r < 0) {
      error = LastError();
      if (error == kInterrupted) continue;
    } else if (r > 0) {
      AddressLength length = sizeof error;
      if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0) {
        error = LastError();
      }
    } else if (std::chrono::steady_clock::now() < deadline) {
      continue;  // a long wait is made of waits of at most a minute
    }
    if (const auto result = JudgeConnectWait(r, seen, error)) return *result;
    if (std::chrono::steady_clock::now() >= deadline) return {ConnectFailure::NoAnswer, 0};
  }
}

}  // namespace quorvex
