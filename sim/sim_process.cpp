// A quorvex-cardsim child for tests and benchmarks: spawned, awaited until ready, stopped.
#include "sim/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace quorvex::sim {

namespace {

int RemainingMs(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

}  // namespace

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& args,
                       std::chrono::milliseconds readyTimeout) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const int rc = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  stdout_ = pipeFds[0];
  if (rc != 0) {
    ::close(stdout_);
    throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
  }

  const auto deadline = std::chrono::steady_clock::now() + readyTimeout;
  static constexpr std::string_view kReady = "ready: ";
  for (;;) {
    const std::size_t start = output_.find(kReady);
    const std::size_t end = start == std::string::npos ? start : output_.find('\n', start);
    if (end != std::string::npos) {
      linkPath_ = output_.substr(start + kReady.size(), end - start - kReady.size());
      return;
    }
    pollfd p{stdout_, POLLIN, 0};
    const int ready = ::poll(&p, 1, RemainingMs(deadline));
    char buffer[256];
    const ssize_t n = ready > 0 ? ::read(stdout_, buffer, sizeof buffer) : 0;
    if (n > 0) {
      output_.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (ready < 0 && errno == EINTR) continue;
    const bool ended = ready > 0;  // readable with nothing to read: the program is gone
    const std::string printed = output_;
    Stop();
    ::close(stdout_);
    throw std::runtime_error(program + (ended ? " ended" : " did not get ready in time") +
                             " before reporting its link; stdout: '" + printed + "'");
  }
}

SimProcess::~SimProcess() {
  if (!status_) Stop();
  if (stdout_ >= 0) ::close(stdout_);
}

bool SimProcess::DrainUntilEof(std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd p{stdout_, POLLIN, 0};
    const int ready = ::poll(&p, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    char buffer[256];
    const ssize_t n = ::read(stdout_, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0 && errno != EINTR) return true;
    if (n > 0) output_.append(buffer, static_cast<std::size_t>(n));
  }
}

int SimProcess::Reap() {
  int raw = 0;
  while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
  }
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return *status_;
}

std::optional<int> SimProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  if (!DrainUntilEof(std::chrono::steady_clock::now() + timeout)) return std::nullopt;
  return Reap();
}

int SimProcess::Stop(std::chrono::milliseconds timeout) {
  if (status_) return *status_;
  ::kill(pid_, SIGTERM);
  if (!DrainUntilEof(std::chrono::steady_clock::now() + timeout)) ::kill(pid_, SIGKILL);
  return Reap();
}

}  // namespace quorvex::sim
