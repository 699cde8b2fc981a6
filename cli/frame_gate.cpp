// The frame gate: where a request to stop may end a transfer.
#include "cli/interrupt.h"

namespace quorvex::cli {

namespace {

class GatedLine : public SerialLine {
 public:
  GatedLine(std::unique_ptr<SerialLine> line, FrameGate& gate)
      : line_(std::move(line)), gate_(gate) {
    gate_.Reset();
  }
  // The read leaves RTS to the close, and whether a driver drops it then is the driver's
  // choice (HUPCL on Linux); a card of a batch must never be left flagged for a transfer.
  ~GatedLine() override {
    if (rts_) line_->SetRts(false);
  }
  GatedLine(const GatedLine&) = delete;
  GatedLine& operator=(const GatedLine&) = delete;

  void Configure() override { line_->Configure(); }
  void SetRts(bool on) override {
    rts_ = on;
    line_->SetRts(on);
  }
  bool WriteByte(std::uint8_t b) override {
    gate_.BeforeWrite();
    return line_->WriteByte(b);
  }
  bool ReadByte(std::uint8_t& b) override {
    const bool ok = line_->ReadByte(b);
    gate_.AfterRead();
    return ok;
  }

 private:
  std::unique_ptr<SerialLine> line_;
  FrameGate& gate_;
  bool rts_ = false;
};

}  // namespace

void FrameGate::BeforeWrite() {
  if (writes_ % 4 == 0) {
    // The previous frame's reply was waited for (or timed out) before this point.
    if (source_.WaitFor(0)) throw Interrupted();
    readsDue_ = 4;
  }
  ++writes_;
}

void FrameGate::AfterRead() {
  if (readsDue_ > 0) --readsDue_;
}

std::unique_ptr<SerialLine> FrameGatedPorts::Open(int portNumber) {
  std::unique_ptr<SerialLine> line = ports_.Open(portNumber);
  if (!line) return nullptr;
  return std::make_unique<GatedLine>(std::move(line), gate_);
}

}  // namespace quorvex::cli
