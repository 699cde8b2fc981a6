// A pseudo terminal whose master side stands in for the card in the backend tests.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvex::testing {

// The other end of a pseudo terminal, standing in for the card. The line under test opens the
// slave side by its path.
class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
      throw std::runtime_error("no pseudo terminal");
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("ptsname failed");
    slavePath_ = name;
  }
  ~Pty() { CloseMaster(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& slavePath() const { return slavePath_; }

  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  void Write(const std::vector<std::uint8_t>& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      throw std::runtime_error("write to the pty master failed");
    }
  }

  // The next byte the line sent, or nothing when none comes within `timeoutMs`.
  std::optional<std::uint8_t> Read(int timeoutMs = 1000) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) != 1 || (p.revents & POLLIN) == 0) return std::nullopt;
    std::uint8_t b = 0;
    if (::read(master_, &b, 1) != 1) return std::nullopt;
    return b;
  }

 private:
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace quorvex::testing
