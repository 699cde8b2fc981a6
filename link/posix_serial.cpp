// The termios backend: locked exclusive open, raw 1200 8N1, one byte under its time-out.
#include "link/posix_serial.h"

#include <fcntl.h>
#ifdef __linux__
#include <linux/serial.h>
#endif
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "link/port_names.h"

namespace quorvex {
namespace {

constexpr short kBroken = POLLHUP | POLLERR | POLLNVAL;

// Waits for `events` until `deadline` and returns what poll reported, 0 on time-out. A hang-up
// or error ends the wait at once, so a peer that vanished never holds the caller for long.
short WaitUntil(int fd, short events, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return POLLERR;
    return r == 0 ? 0 : p.revents;
  }
}

// One transfer of one byte under the time-out. `transfer` returns what read or write returned.
template <typename Transfer>
bool TransferOneByte(int fd, short events, Transfer transfer) {
  const auto deadline = std::chrono::steady_clock::now() + kByteTimeout;
  for (;;) {
    const short revents = WaitUntil(fd, events, deadline);
    if ((revents & events) == 0) return false;
    const ssize_t n = transfer();
    if (n == 1) return true;
    if (n < 0 && errno != EINTR && errno != EAGAIN) return false;
    // Nothing moved although poll said ready: after a hang-up that repeats forever, and any
    // other such case must still end with the time-out.
    if ((revents & kBroken) != 0 || std::chrono::steady_clock::now() >= deadline) return false;
  }
}

// A descriptor of the terminal at `path` under our lock, with nothing about the line changed
// yet; -1 when it cannot be opened, is held by anyone else or is no terminal.
int OpenLocked(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  termios settings{};
  // Anything but a terminal (a regular file, a fifo) would swallow the card's bytes unnoticed.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::tcgetattr(fd, &settings) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

#ifdef __linux__
static_assert(kLowLatencyFlag == ASYNC_LOW_LATENCY);

// The driver's flags through TIOCGSERIAL and TIOCSSERIAL; the rest of what the driver reported
// is written back unchanged.
class LinuxSerialFlags : public SerialFlagsIo {
 public:
  explicit LinuxSerialFlags(int fd) : fd_(fd) {}
  int Get(int& flags) override {
    if (::ioctl(fd_, TIOCGSERIAL, &settings_) != 0) return errno;
    flags = settings_.flags;
    return 0;
  }
  int Set(int flags) override {
    serial_struct changed = settings_;
    changed.flags = flags;
    return ::ioctl(fd_, TIOCSSERIAL, &changed) == 0 ? 0 : errno;
  }

 private:
  int fd_;
  serial_struct settings_{};
};
#endif

}  // namespace

std::unique_ptr<PosixSerialLine> PosixSerialLine::Open(const std::string& path,
                                                       const std::string& port,
                                                       const LineReport& report) {
  const int fd = OpenLocked(path);
  if (fd < 0) return nullptr;
  // Owned from here on: every early return below closes the descriptor.
  std::unique_ptr<PosixSerialLine> line(new PosixSerialLine(fd));
  line->exclusiveModeSet_ = ::ioctl(fd, TIOCEXCL) == 0;

  // Non-blocking was only needed so the open could not wait for a carrier; every later wait is
  // bounded by poll.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return nullptr;
  // Raw at once, so nothing the card sends before Configure is echoed back to it.
  line->ApplyLineSettings();
#ifdef __linux__
  line->flagsIo_ = std::make_unique<LinuxSerialFlags>(fd);
  line->lowLatency_.emplace(*line->flagsIo_, port.empty() ? path : port, report);
#else
  static_cast<void>(port);
  static_cast<void>(report);
#endif
  return line;
}

PosixSerialLine::~PosixSerialLine() {
  lowLatency_.reset();
  // A pty keeps its terminal state while the other side stays open; without this a later
  // open by an ordinary user would be refused.
  if (exclusiveModeSet_) ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
}

void PosixSerialLine::ApplyLineSettings() {
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return;
  ::cfmakeraw(&tio);
  // Software flow control would insert and eat XON/XOFF values inside binary frames.
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  // Nor may a handshake a previous program left on hold our bytes back: the card drives no CTS.
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  // Reads never wait in the driver: poll does the waiting, so the time-out is ours to bound.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, B1200);
  ::cfsetospeed(&tio, B1200);
  ::tcsetattr(fd_, TCSANOW, &tio);
}

void PosixSerialLine::Configure() {
  // The kernel's queues have a fixed size, so there is nothing to size here.
  ApplyLineSettings();
  ::tcflush(fd_, TCIOFLUSH);
}

void PosixSerialLine::SetRts(bool on) {
  int bits = TIOCM_RTS;
  ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);
}

bool PosixSerialLine::WriteByte(std::uint8_t b) {
  return TransferOneByte(fd_, POLLOUT, [&] { return ::write(fd_, &b, 1); });
}

bool PosixSerialLine::ReadByte(std::uint8_t& b) {
  std::uint8_t c = 0;
  if (!TransferOneByte(fd_, POLLIN, [&] { return ::read(fd_, &c, 1); })) return false;
  b = c;
  return true;
}

PosixSerialPorts::PosixSerialPorts()
    : resolve_([](int n) { return ResolveComPortPath(n, PortNameEnvironment::FromProcess()); }) {}

std::unique_ptr<SerialLine> PosixSerialPorts::Open(int portNumber) {
  const std::optional<std::string> path = resolve_(portNumber);
  if (!path) return nullptr;
  return PosixSerialLine::Open(*path, "COM" + std::to_string(portNumber), report_);
}

bool PosixSerialPorts::Probe(int portNumber) {
  const std::optional<std::string> path = resolve_(portNumber);
  if (!path) return false;
  const int fd = OpenLocked(*path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts() {
  return std::make_unique<PosixSerialPorts>();
}

std::unique_ptr<SerialPorts> MakeSystemSerialPorts(const PortNameEnvironment& env) {
  return std::make_unique<PosixSerialPorts>([env](int n) { return ResolveComPortPath(n, env); });
}

}  // namespace quorvex
