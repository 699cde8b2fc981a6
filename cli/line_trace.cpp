// The --trace file and a watched line that reports every frame to it and to the progress bar.
#include "cli/line_trace.h"

#include <array>
#include <cstdio>

#include "core/config_image.h"
#include "core/config_view.h"
#include "link/register_exchange.h"
#include "storage/file_error.h"

namespace quorvex::cli {

namespace {

// The register exchange always sends four bytes and then makes four reads, so the line sees
// whole frames by counting; a byte that never came shows as 00 and marks the reply incomplete.
class WatchedLine : public SerialLine {
 public:
  WatchedLine(std::unique_ptr<SerialLine> line, TraceLog* trace, const RegisterDone& onRegister)
      : line_(std::move(line)), trace_(trace), onRegister_(onRegister) {}
  ~WatchedLine() override { Note("close"); }
  WatchedLine(const WatchedLine&) = delete;
  WatchedLine& operator=(const WatchedLine&) = delete;

  void Configure() override { line_->Configure(); }
  void SetRts(bool on) override {
    Note(on ? "RTS on" : "RTS off");
    line_->SetRts(on);
  }
  bool WriteByte(std::uint8_t b) override {
    if (writes_ == request_.size()) writes_ = 0;
    request_[writes_++] = b;
    if (writes_ == request_.size()) {
      reads_ = 0;
      const RequestFields fields = ParseRequestFrame(request_);
      Note("-> " + HexBytes(request_.data(), request_.size()) +
           (fields.direction == Direction::Read ? "  read " : "  write ") +
           RegisterName(fields.address));
    }
    return line_->WriteByte(b);
  }
  bool ReadByte(std::uint8_t& b) override {
    const bool ok = line_->ReadByte(b);
    if (reads_ < reply_.size()) {
      reply_[reads_] = ok ? b : 0;
      complete_ = (reads_ == 0 || complete_) && ok;
      if (++reads_ == reply_.size()) ReplyDone();
    }
    return ok;
  }

 private:
  void ReplyDone() {
    const bool passed = complete_ && ReplyCheckPasses(reply_);
    Note("<- " + HexBytes(reply_.data(), reply_.size()) +
         (!complete_ ? "  incomplete"
          : passed   ? "  check passed"
                     : "  check failed"));
    if (passed && onRegister_) onRegister_(ParseRequestFrame(request_).address);
  }
  void Note(const std::string& text) {
    if (trace_ != nullptr) trace_->Line(text);
  }

  std::unique_ptr<SerialLine> line_;
  TraceLog* trace_;
  const RegisterDone& onRegister_;
  RequestFrame request_{};
  std::array<std::uint8_t, 4> reply_{};
  std::size_t writes_ = 0;
  std::size_t reads_ = 4;
  bool complete_ = false;
};

}  // namespace

TraceLog::TraceLog(const std::string& path) : out_(path, std::ios::out | std::ios::trunc) {
  if (!out_) throw FileError("Cannot create the trace file " + path);
}

void TraceLog::Line(std::string_view text) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start_)
                      .count();
  char stamp[24];
  std::snprintf(stamp, sizeof stamp, "%8lld ms  ", static_cast<long long>(ms));
  out_ << stamp << text << '\n';
  out_.flush();
}

std::unique_ptr<SerialLine> WatchedPorts::Open(int portNumber) {
  std::unique_ptr<SerialLine> line = ports_.Open(portNumber);
  if (trace_ != nullptr) {
    trace_->Line("open " +
                 (portName_ ? portName_(portNumber) : "COM" + std::to_string(portNumber)) +
                 (line ? "" : ": not available"));
  }
  if (!line) return nullptr;
  return std::make_unique<WatchedLine>(std::move(line), trace_, onRegister_);
}

}  // namespace quorvex::cli
