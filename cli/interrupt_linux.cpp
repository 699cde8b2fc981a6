// Ctrl+C and termination on Linux, read through a signal descriptor instead of a handler.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "cli/interrupt.h"

namespace quorvex::cli {

// The signals are blocked and read through a descriptor, so no handler and no process-wide flag
// is needed: a pending signal keeps the descriptor readable, which is what keeps it noted until
// the watch ends.
struct InterruptWatch::State {
  sigset_t previousMask{};
  int fd = -1;
};

InterruptWatch::InterruptWatch() : state_(std::make_unique<State>()) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &signals, &state_->previousMask) != 0) {
    throw std::runtime_error("Cannot take over Ctrl+C");
  }
  state_->fd = signalfd(-1, &signals, SFD_CLOEXEC);
  if (state_->fd < 0) {
    sigprocmask(SIG_SETMASK, &state_->previousMask, nullptr);
    throw std::runtime_error("Cannot take over Ctrl+C");
  }
}

InterruptWatch::~InterruptWatch() {
  // A request that came has been answered (the caller ends with its own exit code); taking it
  // off the queue keeps it from killing the process when the mask is restored.
  signalfd_siginfo info{};
  while (WaitFor(0) && read(state_->fd, &info, sizeof info) > 0) {
  }
  close(state_->fd);
  sigprocmask(SIG_SETMASK, &state_->previousMask, nullptr);
}

bool InterruptWatch::WaitFor(int milliseconds) {
  pollfd p{state_->fd, POLLIN, 0};
  int r = 0;
  do {
    r = poll(&p, 1, milliseconds < 0 ? 0 : milliseconds);
  } while (r < 0 && errno == EINTR);
  return r > 0;
}

bool InterruptWatch::WaitForEnter() {
  pollfd p[2] = {{state_->fd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  for (;;) {
    const int r = poll(p, 2, -1);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (p[0].revents & POLLIN) != 0) return false;
    char c = 0;
    const ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n <= 0) return false;
    if (c == '\n') return true;
  }
}

}  // namespace quorvex::cli
