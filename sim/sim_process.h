// A running quorvex-cardsim for tests and benchmarks, stopped when it goes out of scope.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quorvex::sim {

// A running quorvex-cardsim, for end-to-end tests and benchmarks: started with the given
// arguments, ready once it has printed its "ready:" line, terminated on destruction.
class SimProcess {
 public:
  // Throws std::runtime_error when the program cannot be started or does not get ready in time
  // (the message then carries what it printed).
  SimProcess(const std::string& program, const std::vector<std::string>& args,
             std::chrono::milliseconds readyTimeout = std::chrono::seconds(10));
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const std::string& LinkPath() const { return linkPath_; }

  // Waits for the program to end by itself; its exit status, or nothing after the time-out.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  // SIGTERM, then waits for the end; the exit status (128 + signal when it was killed).
  int Stop(std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  // Reads stdout until it reaches EOF (the program ended) or the deadline passes.
  bool DrainUntilEof(std::chrono::steady_clock::time_point deadline);
  int Reap();

  pid_t pid_ = -1;
  int stdout_ = -1;
  std::string output_;
  std::string linkPath_;
  std::optional<int> status_;
};

}  // namespace quorvex::sim
