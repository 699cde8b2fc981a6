// The connect wait: what each wait call saw, read as the platforms report it, and the calls
// themselves against a refusing, a silent and a late listener on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/connect_wait.h"
#include "link/name_lookup.h"
#include "link/socket_platform.h"
#include "link/tcp_connection.h"
#include "tests/link/tcp_listener.h"

namespace quorvex {
namespace {

using namespace std::chrono_literals;

// Refused connects and other failures as this platform's socket reports them.
constexpr int kOtherError =
#ifdef _WIN32
    WSAENETUNREACH;
#else
    ENETUNREACH;
#endif

TEST(ConnectWaitTest, WhatTheWaitSawIsReadAsEachPlatformReportsIt) {
  struct Case {
    const char* what;
    int waitResult;
    SocketSignals seen;
    int error;
    bool goesOn;
    ConnectFailure failure;
  };
  const Case cases[] = {
      {"connected", 1, {true, false}, 0, false, ConnectFailure::None},
      // Winsock's select: a failed connect is in the exception set alone.
      {"refused, exception set",
       1,
       {false, true},
       sockets::kRefused,
       false,
       ConnectFailure::Refused},
      // poll: writable with an error.
      {"refused, poll", 1, {true, true}, sockets::kRefused, false, ConnectFailure::Refused},
      {"unreachable", 1, {true, false}, kOtherError, false, ConnectFailure::Other},
      {"failed without a code", 1, {false, true}, 0, false, ConnectFailure::Other},
      {"silent", 0, {}, 0, false, ConnectFailure::NoAnswer},
      {"wait failed", -1, {}, kOtherError, false, ConnectFailure::Other},
      {"woken without a sign", 1, {}, 0, true, ConnectFailure::None},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto result = JudgeConnectWait(c.waitResult, c.seen, c.error);
    ASSERT_EQ(!result.has_value(), c.goesOn);
    if (result) {
      EXPECT_EQ(result->failure, c.failure);
    }
  }
}

// Each call of the wait, on the sockets of this platform (under Wine: Winsock's select with its
// exception set, and WSAPoll, which Wine reports as a current Windows does).
TEST(ConnectWaitTest, RefusedSilentAndLateListeners) {
  for (const ConnectWaitCall call : {ConnectWaitCall::Poll, ConnectWaitCall::Select}) {
    SCOPED_TRACE(call == ConnectWaitCall::Poll ? "poll" : "select");
    ConnectProblem problem;

    const testing::TcpListener refusing;
    EXPECT_EQ(TcpConnection::Connect("127.0.0.1", refusing.Port(), 10s, problem, call), nullptr);
    EXPECT_EQ(problem.kind, ConnectFailure::Refused);
    EXPECT_EQ(problem.reason, "connection refused");

    // A backlog of none holds one client; the system drops the next one's connect unanswered.
    testing::TcpListener full(0);
    const auto first = TcpConnection::Connect("127.0.0.1", full.Port(), 10s, problem, call);
    ASSERT_NE(first, nullptr) << problem.reason;
    EXPECT_EQ(TcpConnection::Connect("127.0.0.1", full.Port(), 500ms, problem, call), nullptr);
    EXPECT_EQ(problem.kind, ConnectFailure::NoAnswer);

    // Room made while the connect waits: the system's next try gets in.
    std::thread makeRoom([&full] {
      std::this_thread::sleep_for(100ms);
      full.AcceptOne();
    });
    const auto late = TcpConnection::Connect("127.0.0.1", full.Port(), 10s, problem, call);
    makeRoom.join();
    EXPECT_NE(late, nullptr) << problem.reason;
    EXPECT_EQ(problem.kind, ConnectFailure::None);
  }
}

// A name's first address silent (an IPv6 address whose packets are dropped): the next one still
// gets its share of the time-out. With one deadline for all, the first took all of it.
TEST(ConnectWaitTest, ASilentFirstAddressLeavesTimeForTheNext) {
  ConnectProblem problem;
  testing::TcpListener silent(0);
  const auto held = TcpConnection::Connect("127.0.0.1", silent.Port(), 10s, problem);
  ASSERT_NE(held, nullptr) << problem.reason;
  const testing::TcpListener answering(4);
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  std::vector<SocketAddress> addresses = LookUpName("127.0.0.1", silent.Port(), deadline).addresses;
  const auto next = LookUpName("127.0.0.1", answering.Port(), deadline).addresses;
  addresses.insert(addresses.end(), next.begin(), next.end());
  ASSERT_EQ(addresses.size(), 2u);
  EXPECT_NE(TcpConnection::Connect(addresses, 1s, problem), nullptr) << problem.reason;
}

TEST(ConnectWaitTest, HostsThatCannotBeFound) {
  ConnectProblem problem;
  // A name below .invalid never resolves; a zone that names no interface cannot be had.
  for (const char* host : {"no-such-host.invalid", "fe80::1%no-such-interface"}) {
    SCOPED_TRACE(host);
    EXPECT_EQ(TcpConnection::Connect(host, 4001, 3s, problem), nullptr);
    EXPECT_NE(problem.kind, ConnectFailure::None);
    EXPECT_EQ(problem.reason.rfind("host not found: ", 0), 0u) << problem.reason;
  }
}

}  // namespace
}  // namespace quorvex
