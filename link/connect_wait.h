// The wait for a TCP connect in progress. Windows' WSAPoll before Windows 10 2004 never reports a
// refused connect, so there the wait is select's with the exception set, where Winsock puts a
// failed connect; POSIX waits with poll (select cannot take a descriptor above FD_SETSIZE, and a
// command of many cards has many). Both calls stay behind this seam on every platform, so that
// each is tried wherever it exists, and the reading of what they saw is a function of its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace quorvex {

// Why a connection could not be had: what callers act on, beside the words the operator reads.
enum class ConnectFailure { None, Refused, NoAnswer, HostNotFound, Other };

enum class ConnectWaitCall { Poll, Select };

// The call this platform waits with: select on Windows, poll elsewhere.
ConnectWaitCall PlatformConnectWait();

// What the wait call saw of the socket.
struct SocketSignals {
  bool writable = false;  // connected; on POSIX also a failed connect
  bool failed = false;    // POLLERR/POLLHUP, or Winsock's exception set: the connect failed
};

struct ConnectWaitResult {
  ConnectFailure failure = ConnectFailure::None;  // None: connected
  int error = 0;  // the system's code behind Refused and Other; 0 when it gave none
};

// What one wait came to: `waitResult` as the call returned it (> 0 signalled, 0 time-out, < 0
// the call failed with `error`), `error` otherwise the socket's SO_ERROR. Nothing when the wait
// must go on (woken without a sign of either outcome).
std::optional<ConnectWaitResult> JudgeConnectWait(int waitResult, SocketSignals seen, int error);

// Waits by the deadline for the connect in progress on `socket`, with `call`.
ConnectWaitResult WaitForConnect(ConnectWaitCall call, std::intptr_t socket,
                                 std::chrono::steady_clock::time_point deadline);

}  // namespace quorvex
