// The simulator's frame log: what each step received, dropped or answered, time-stamped.
#include "sim/frame_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace quorvex::sim {

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

std::string LogTime(std::chrono::microseconds at) {
  return std::to_string(at.count() / 1000) + "." + std::to_string(at.count() % 1000 / 100) + " ms";
}

std::vector<LogEntry> DescribeStep(const CardStep& step) {
  std::vector<LogEntry> entries;
  if (step.hangup) {
    entries.push_back({"--", "hanging up: the requested number of requests was served"});
    return entries;
  }
  if (!step.discarded.empty()) {
    entries.push_back({"rx", HexBytes(step.discarded) + "  discarded: frame unfinished at a gap"});
  }
  if (step.badFrame) {
    entries.push_back({"rx", HexBytes(*step.badFrame) + "  dropped: wrong check byte"});
  }
  if (step.request) {
    const CardRequest request = DecodeRequest(*step.request);
    std::string text = HexBytes(*step.request) + (request.read ? "  read" : "  write") +
                       " register " + std::to_string(request.address);
    if (!request.read) text += " = " + HexBytes(std::span(&request.data, 1));
    if (request.address >= kRegisterCount) text += " (outside the register map)";
    entries.push_back({"rx", std::move(text)});
  }
  if (!step.noReplyReason.empty()) {
    entries.push_back({"--", "no reply: " + step.noReplyReason});
  }
  return entries;
}

FrameLog::FrameLog(const std::string& path)
    : fd_(STDERR_FILENO), ownsFd_(false), start_(std::chrono::steady_clock::now()) {
  if (path.empty()) return;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    throw std::runtime_error("cannot create log file " + path + ": " + std::strerror(errno));
  }
  ownsFd_ = true;
}

FrameLog::~FrameLog() {
  if (ownsFd_) ::close(fd_);
}

std::chrono::microseconds FrameLog::Elapsed() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start_);
}

void FrameLog::Write(const LogEntry& entry, std::chrono::microseconds at) {
  const auto micros = at.count();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%9lld.%lld ms  ", static_cast<long long>(micros / 1000),
                static_cast<long long>(micros % 1000 / 100));
  std::string line = stamp + entry.direction + "  " + entry.text + "\n";
  // One write per line keeps lines whole for a reader following the file.
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a log that cannot be written must not stop the card
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace quorvex::sim
