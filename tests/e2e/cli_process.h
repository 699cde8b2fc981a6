// quorvex-cli as its own process, as a script runs it, for the end-to-end tests.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvex::e2e {

using namespace std::chrono_literals;

// quorvex-cli run as a script runs it: its own process in the test's folder, stdout to a file,
// stderr read here. `command` is the program (and what runs it), `args` what it is given.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& command, const std::vector<std::string>& args,
             const std::filesystem::path& folder, const std::string& outPath) {
    std::vector<std::string> words = command;
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int errPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(errPipe[1], STDERR_FILENO);
      const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(out, STDOUT_FILENO);
      const int in = ::open("/dev/null", O_RDONLY);
      ::dup2(in, STDIN_FILENO);
      if (::chdir(folder.c_str()) != 0) ::_exit(127);
      ::execvp(argv[0], argv.data());
      ::_exit(127);
    }
    ::close(errPipe[1]);
    err_ = errPipe[0];
  }
  ~CliProcess() {
    if (pid_ > 0 && !status_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(err_);
  }

  // Reads stderr until the text shows up; false when it ended or the time-out passed first.
  bool WaitForErr(const std::string& text, std::chrono::milliseconds timeout = 20s) {
    ReadErrUntil([&] { return errText_.find(text) != std::string::npos; }, timeout);
    return errText_.find(text) != std::string::npos;
  }
  // The exit code once stderr has ended and the process is gone (-1: killed by a signal).
  int Finish() {
    ReadErrUntil([] { return false; }, 60s);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = status;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Interrupt() { ::kill(pid_, SIGINT); }
  template <typename Done>
  void ReadErrUntil(Done done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{err_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return;
      char buffer[512];
      const ssize_t n = ::read(err_, buffer, sizeof buffer);
      if (n <= 0) return;
      errText_.append(buffer, static_cast<std::size_t>(n));
    }
  }
  const std::string& Err() const { return errText_; }

 private:
  pid_t pid_ = -1;
  int err_ = -1;
  std::string errText_;
  std::optional<int> status_;
};

}  // namespace quorvex::e2e
