// Failed system calls of one open port: the first of each kind at once, the repeats at close.
#include "link/line_faults.h"

namespace quorvex {

LineFaults::LineFaults(std::string port, LineReport report)
    : port_(std::move(port)), report_(std::move(report)) {}

LineFaults::~LineFaults() {
  // The port closes on every path, unwinding included; a log that fails then must not end the
  // program.
  try {
    for (const auto& [failure, count] : repeats_) {
      if (count == 1) Tell(failure + " (once more)");
      if (count > 1) Tell(failure + " (" + std::to_string(count) + " times more)");
    }
  } catch (...) {
  }
}

void LineFaults::Failed(const std::string& call, unsigned long error) {
  Note(call + " failed with error " + std::to_string(error));
}

void LineFaults::Note(const std::string& failure) {
  const auto [at, first] = repeats_.try_emplace(failure, 0);
  if (first) {
    Tell(failure);
  } else {
    ++at->second;
  }
}

void LineFaults::Tell(const std::string& text) const {
  if (report_) report_(port_ + ": " + text);
}

}  // namespace quorvex
