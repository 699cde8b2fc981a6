// The operator on a terminal: status lines, prompts that may wait for Enter, the progress bar.
#include "cli/terminal_operator.h"

#include "cli/interrupt.h"
#include "cli/line_trace.h"
#include "core/config_image.h"

namespace quorvex::cli {

std::string TerminalOperator::Named(std::string_view text) const {
  std::string named(text);
  const std::string& from = options_.comName;
  if (from.empty() || from == options_.portName) return named;
  for (std::size_t at = named.find(from); at != std::string::npos; at = named.find(from, at)) {
    const std::size_t end = at + from.size();
    if (end < named.size() && named[end] >= '0' && named[end] <= '9') {
      at = end;
      continue;
    }
    named.replace(at, from.size(), options_.portName);
    at += options_.portName.size();
  }
  return named;
}

void TerminalOperator::ShowStatus(std::string_view shown) {
  const std::string text = Named(shown);
  if (trace_ != nullptr) trace_->Line("status: " + text);
  if (options_.quiet || options_.progress) return;
  err_ << text << '\n';
}

void TerminalOperator::MessageBox(std::string_view caption, std::string_view shown, BoxIcon icon) {
  const std::string text = Named(shown);
  if (trace_ != nullptr) trace_->Line("box: " + std::string(caption) + ": " + text);
  // Only the prompts to connect and release the card are chatter; every other box reports a
  // failure, which --quiet must not hide.
  const bool prompt = caption == texts_.transferCaption && icon != BoxIcon::Error;
  if (options_.quiet && prompt && !options_.wait) return;
  EndProgressLine();
  err_ << caption << ": " << text << '\n';
  if (prompt && options_.wait && watch_ != nullptr) {
    err_ << "Press Enter to go on (Ctrl+C ends the command)." << std::endl;
    if (!watch_->WaitForEnter()) throw Interrupted();
  }
}

void TerminalOperator::AddDebugLine(std::string_view line) {
  if (trace_ != nullptr) trace_->Line("debug: " + std::string(line));
}

void TerminalOperator::BeginProgress(std::string label) {
  EndProgressLine();
  // Drawn from the first register on, so that the connect prompt stands above the bar.
  label_ = std::move(label);
  done_ = 0;
}

void TerminalOperator::RegisterDone(std::uint16_t address) {
  done_ = static_cast<int>(address) + 1;
  if (options_.progress) DrawProgress();
}

void TerminalOperator::EndProgressLine() {
  if (!barShown_) return;
  err_ << '\n' << std::flush;
  barShown_ = false;
}

void TerminalOperator::DrawProgress() {
  constexpr int kWidth = 41;
  std::string bar(static_cast<std::size_t>(done_), '#');
  bar.resize(kWidth, '.');
  err_ << '\r' << label_ << " [" << bar << "] " << done_ << "/" << kConfigImageSize << std::flush;
  barShown_ = true;
}

}  // namespace quorvex::cli
