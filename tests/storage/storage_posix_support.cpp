// Storage test helpers on POSIX: forked, unprivileged and small-tmpfs children.
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "tests/storage/storage_test_support.h"

namespace quorvex::testing {

std::string RunInChild(const std::function<std::string()>& body) {
  int channel[2];
  if (::pipe(channel) != 0) return "SKIP: no pipe";
  const pid_t child = ::fork();
  if (child < 0) return "SKIP: fork failed";
  if (child == 0) {
    ::close(channel[0]);
    std::string result;
    try {
      result = body();
    } catch (const std::exception& e) {
      result = std::string("exception: ") + e.what();
    } catch (...) {
      result = "unknown exception";
    }
    const char* data = result.data();
    std::size_t left = result.size();
    while (left > 0) {
      const ssize_t written = ::write(channel[1], data, left);
      if (written <= 0) break;
      data += written;
      left -= static_cast<std::size_t>(written);
    }
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string result;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(channel[0], buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    result.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return "child ended abnormally: " + result;
  return result;
}

std::string RunUnprivileged(const std::function<std::string()>& body) {
  return RunInChild([&]() -> std::string {
    if (::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
        return std::string("SKIP: cannot drop privileges: ") + std::strerror(errno);
      }
    }
    return body();
  });
}

std::string RunOnSmallTmpfs(const std::string& folder, const std::string& size,
                            const std::function<std::string()>& body) {
  return RunInChild([&]() -> std::string {
    if (::unshare(CLONE_NEWNS) != 0) {
      return std::string("SKIP: no private mount namespace: ") + std::strerror(errno);
    }
    // Keep our mounts from reaching the parent's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      return std::string("SKIP: cannot make mounts private: ") + std::strerror(errno);
    }
    const std::string options = "size=" + size + ",mode=0777";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      return std::string("SKIP: cannot mount tmpfs: ") + std::strerror(errno);
    }
    return body();
  });
}

}  // namespace quorvex::testing
