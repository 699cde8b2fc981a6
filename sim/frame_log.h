// The simulator's frame log, one time-stamped line per frame or note.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/card_model.h"

namespace quorvex::sim {

// "00 07 5A 5F"
std::string HexBytes(std::span<const std::uint8_t> bytes);

// "12.3 ms", as the log stamps its lines.
std::string LogTime(std::chrono::microseconds at);

struct LogEntry {
  std::string direction;  // "rx", "tx" or "--" for notes
  std::string text;
};

// The received side of a step in the order it happened: discarded bytes, the dropped or served
// request, and why no reply follows. The reply itself is logged when it is sent.
std::vector<LogEntry> DescribeStep(const CardStep& step);

// One line per entry, "<ms since start> <direction> <text>", written straight to the file
// descriptor so a test can follow the log while the simulator runs.
class FrameLog {
 public:
  // stderr when path is empty. Throws std::runtime_error when the file cannot be created.
  explicit FrameLog(const std::string& path);
  ~FrameLog();
  FrameLog(const FrameLog&) = delete;
  FrameLog& operator=(const FrameLog&) = delete;

  std::chrono::microseconds Elapsed() const;
  void Write(const LogEntry& entry) { Write(entry, Elapsed()); }
  // Stamped with `at` rather than the moment of writing: the line model's time of the event.
  void Write(const LogEntry& entry, std::chrono::microseconds at);
  void Note(std::string_view text) { Write({"--", std::string(text)}); }

 private:
  int fd_;
  bool ownsFd_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace quorvex::sim
