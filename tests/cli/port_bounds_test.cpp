// The bounds of one command: a typing slip in a range, or too many cards, is refused as bad usage
// before any server is contacted; a thread the system refuses ends the command, not the process.
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#endif

#include "cli/card_batch.h"
#include "cli/commands.h"
#include "cli/port_selection.h"
#include "core/errors.h"
#include "tests/link/tcp_listener.h"

namespace quorvex::cli {
namespace {

TEST(PortBoundsTest, OverlongListsAreBadUsageAndContactNoServer) {
  const testing::TcpListener server(16);
  const int p = server.Port();
  const auto url = [p](int from, int to) {
    return "tcp://127.0.0.1:" + std::to_string(p + from) + "-" + std::to_string(p + to);
  };
  struct Case {
    std::vector<std::string> ports;
    std::string message;
  };
  const Case cases[] = {
      {{"rfc2217://127.0.0.1:" + std::to_string(p) + "-" + std::to_string(p + 256)},
       "the range 'rfc2217://127.0.0.1:" + std::to_string(p) + "-" + std::to_string(p + 256) +
           "' has 257 TCP ports; a range takes at most 256"},
      {{url(0, 255), url(256, 511), url(512, 767), url(768, 1023), "1"},
       "'1' in '1' brings the ports to 1025; one command takes at most 1024"},
      {{url(0, 255) + "," + url(256, 511) + "," + url(512, 767) + "," + url(768, 1023) + ",7"},
       "'7' in '" + url(0, 255) + "," + url(256, 511) + "," + url(512, 767) + "," + url(768, 1023) +
           ",7' brings the ports to 1025; one command takes at most 1024"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args{"quorvex-cli", "read", "-o", "card-{port}.kfg"};
    for (const std::string& ports : c.ports) {
      args.push_back("--port");
      args.push_back(ports);
    }
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), {out, err, false}), 2);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_FALSE(server.Pending());
  }
  // Up to the bounds the lists are taken.
  NetworkAssignments network;
  EXPECT_EQ(
      ParsePortList({url(0, 255), url(256, 511), url(512, 767), url(768, 1023)}, network).size(),
      1024u);
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
// Address space for a few threads' stacks only: the system refuses the rest of 200 threads.
TEST(PortBoundsDeathTest, AThreadTheSystemRefusesEndsTheCommandBeforeAnyCard) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto refusedThreads = [] {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlimit limit{static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE)) + (64u << 20),
                       RLIM_INFINITY};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(10);
    BatchPlan plan;
    plan.command = "read";
    for (int port = 1; port <= 200; ++port) plan.ports.push_back(port);
    std::atomic<int> touched{0};
    const CardJob job = [&touched](int, CardProgress&) {
      ++touched;
      return CardResult{};
    };
    std::ostringstream out, err;
    try {
      RunBatch(plan, job, out, err);
    } catch (const ReportedError& e) {
      const bool told = std::string(e.what()).find("; no card was touched") != std::string::npos;
      ::_exit(told && touched == 0 && out.str().empty() ? 0 : 11);
    }
    ::_exit(12);
  };
  EXPECT_EXIT(refusedThreads(), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
}  // namespace quorvex::cli
