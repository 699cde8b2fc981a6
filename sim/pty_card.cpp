// The simulated card on a pseudo terminal: the COM<n> link, raw line, delayed replies.
#include "sim/pty_card.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace quorvex::sim {

namespace {

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

RegisterImage InitialImage(const CardOptions& options) {
  if (options.imagePath.empty()) return {};
  return LoadImageFile(options.imagePath).value_or(RegisterImage{});
}

// The PC reconfigures the line on every open; raw mode from the start keeps the terminal from
// echoing replies or translating bytes before that happens.
void MakeRaw(int fd) {
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) return;
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  ::cfsetispeed(&tio, B1200);
  ::cfsetospeed(&tio, B1200);
  ::tcsetattr(fd, TCSANOW, &tio);
}

}  // namespace

PtyCard::PtyCard(const CardOptions& options, FrameLog& log, SaveImage save)
    : options_(options),
      log_(log),
      model_(options.faults, InitialImage(options), options.frameGap),
      line_(options.line) {
  if (!options.imagePath.empty()) {
    // FrameLog writes each line with one write() of its own, so the writer's thread may add a
    // note between the card's lines.
    imageWriter_ =
        std::make_unique<ImageWriter>(options.imagePath, std::move(save),
                                      [&log](const std::string& message) { log.Note(message); });
  }
  try {
    OpenTerminal();
    MakeLink(options.comDir, options.port);
  } catch (...) {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    throw;
  }
  log_.Note("listening on " + linkPath_ + " -> " + terminalPath_);
}

PtyCard::~PtyCard() {
  imageWriter_.reset();
  char target[PATH_MAX];
  const ssize_t n = ::readlink(linkPath_.c_str(), target, sizeof target - 1);
  if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == terminalPath_) {
    ::unlink(linkPath_.c_str());
  }
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

void PtyCard::OpenTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) throw std::runtime_error(SystemError("cannot open a pseudo terminal"));
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    throw std::runtime_error(SystemError("cannot unlock the pseudo terminal"));
  }
  char name[PATH_MAX];
  if (::ptsname_r(master_, name, sizeof name) != 0) {
    throw std::runtime_error(SystemError("cannot name the pseudo terminal"));
  }
  terminalPath_ = name;
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave_ < 0) throw std::runtime_error(SystemError("cannot open " + terminalPath_));
  MakeRaw(slave_);
  // A PC that stops reading must not be able to block the card.
  const int flags = ::fcntl(master_, F_GETFL);
  if (flags >= 0) ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
}

void PtyCard::MakeLink(const std::string& comDir, int port) {
  struct stat folder {};
  if (::stat(comDir.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)) {
    throw std::runtime_error("the COM port folder " + comDir + " does not exist");
  }
  linkPath_ = comDir + "/COM" + std::to_string(port);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::symlink(terminalPath_.c_str(), linkPath_.c_str()) == 0) return;
    if (errno != EEXIST) throw std::runtime_error(SystemError("cannot create " + linkPath_));
    // A link left by a simulator that was killed leads nowhere and may be replaced; anything
    // else belongs to someone who is still using it.
    struct stat entry {};
    struct stat target {};
    const bool dangling = ::lstat(linkPath_.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode) &&
                          ::stat(linkPath_.c_str(), &target) != 0 && errno == ENOENT;
    if (!dangling) break;
    ::unlink(linkPath_.c_str());
  }
  const std::string taken = linkPath_;
  linkPath_.clear();  // not ours: the destructor must leave it alone
  throw std::runtime_error(taken +
                           " already exists (another simulator on this port?); remove it or "
                           "choose another --port");
}

PtyCard::End PtyCard::Serve(int stopFd) {
  bool terminalClosed = false;
  for (;;) {
    int timeout = PollTimeout();
    // Only while nobody holds the terminal open: then the master reports a hang-up at once
    // and would make poll spin, so it is looked at again a little later instead.
    if (terminalClosed) timeout = timeout < 0 ? 20 : std::min(timeout, 20);
    pollfd fds[2] = {{stopFd, POLLIN, 0}, {master_, POLLIN, 0}};
    const int ready = ::poll(fds, terminalClosed ? 1 : 2, timeout);
    if (ready < 0 && errno != EINTR) throw std::runtime_error(SystemError("poll failed"));
    if (ready > 0 && (fds[0].revents & POLLIN) != 0) return End::Stopped;

    terminalClosed = false;
    if (ready > 0 && fds[1].revents != 0) {
      std::uint8_t buffer[64];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) {
        line_.FromProgram(std::span(buffer, static_cast<std::size_t>(n)), log_.Elapsed());
      } else if (n < 0 && errno == EIO) {
        terminalClosed = true;
      }
    }
    if (!Advance()) {
      ::close(master_);
      master_ = -1;
      return End::HungUp;
    }
  }
}

int PtyCard::PollTimeout() const {
  std::optional<Micros> next = line_.NextDue();
  if (!pending_.empty() && (!next || pending_.front().due < *next)) next = pending_.front().due;
  if (!next) return -1;
  // Rounded up: waking before the byte is due would only go round the loop once more.
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - log_.Elapsed());
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count()));
}

bool PtyCard::Advance() {
  const Micros now = log_.Elapsed();
  for (const TimedByte& arrived : line_.TakeArrivedAtCard(now)) {
    if (!Receive(arrived.byte, arrived.at)) return false;
  }
  while (!pending_.empty() && pending_.front().due <= now) {
    SendReply(pending_.front());
    pending_.pop_front();
  }
  DeliverToProgram(now);
  return true;
}

bool PtyCard::Receive(std::uint8_t byte, Micros at) {
  const CardStep step =
      model_.Receive(byte, std::chrono::duration_cast<std::chrono::milliseconds>(at));
  for (const LogEntry& entry : DescribeStep(step)) log_.Write(entry, at);
  if (step.hangup) return false;
  // Off the reply path: the file is current once the simulator has ended, not at the reply.
  if (step.imageChanged && imageWriter_) imageWriter_->Store(model_.Image());
  if (step.reply) pending_.push_back({at + options_.delay, *step.reply, step.replyCorrupted});
  return true;
}

void PtyCard::SendReply(const PendingReply& reply) {
  const Micros through = line_.FromCard(reply.frame, reply.due);
  std::string text = HexBytes(reply.frame);
  if (reply.corrupted) text += "  wrong check byte (--bad-check)";
  if (line_.ByteTime().count() > 0) text += "  on the line until " + LogTime(through);
  log_.Write({"tx", text}, reply.due);
}

void PtyCard::DeliverToProgram(Micros now) {
  const std::vector<TimedByte> delivered = line_.TakeDeliveredToProgram(now);
  if (delivered.empty()) return;
  std::vector<std::uint8_t> bytes;
  for (const TimedByte& b : delivered) bytes.push_back(b.byte);
  ssize_t n;
  do {
    n = ::write(master_, bytes.data(), bytes.size());
  } while (n < 0 && errno == EINTR);
  const std::string failure = n < 0 ? std::strerror(errno) : "line full";
  if (line_.HoldsBack()) {
    // Bytes handed over at one tick (or one UART interrupt) share its time; a full buffer hands
    // over the rest later.
    for (std::size_t i = 0; i < delivered.size();) {
      std::size_t j = i;
      while (j < delivered.size() && delivered[j].at == delivered[i].at) ++j;
      log_.Write({"--", std::string(line_.Holder()) + " hands over " +
                            HexBytes(std::span(bytes).subspan(i, j - i))},
                 delivered[i].at);
      i = j;
    }
  }
  if (n != static_cast<ssize_t>(bytes.size())) {
    log_.Write({"--", HexBytes(bytes) + "  not sent: " + failure}, now);
  }
}

}  // namespace quorvex::sim
