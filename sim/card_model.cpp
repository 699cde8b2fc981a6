// The simulated card's logic: bytes gathered into frames by the gap, served, faults applied.
#include "sim/card_model.h"

#include <utility>

namespace quorvex::sim {

CardModel::CardModel(CardFaults faults, RegisterImage image, std::chrono::milliseconds frameGap)
    : faults_(std::move(faults)), image_(image), frameGap_(frameGap) {}

CardStep CardModel::Receive(std::uint8_t byte, std::chrono::milliseconds now) {
  CardStep step;
  if (faults_.hangupAfter && validRequests_ >= *faults_.hangupAfter) {
    // Going down only when the PC starts its next request keeps the last reply intact: a pty
    // throws away what the PC has not read yet when its master side closes.
    step.hangup = true;
    return step;
  }
  if (!pending_.empty() && now - lastByte_ > frameGap_) {
    step.discarded = std::move(pending_);
    pending_.clear();
  }
  lastByte_ = now;
  pending_.push_back(byte);
  if (pending_.size() < 4) return step;

  const Frame frame{pending_[0], pending_[1], pending_[2], pending_[3]};
  pending_.clear();
  if (!CheckByteValid(frame)) {
    step.badFrame = frame;
    return step;
  }
  Serve(frame, step);
  return step;
}

void CardModel::Serve(const Frame& frame, CardStep& step) {
  ++validRequests_;
  step.request = frame;
  const CardRequest request = DecodeRequest(frame);
  const bool mapped = request.address < kRegisterCount;
  if (!request.read && mapped) {
    step.imageChanged = image_[request.address] != request.data;
    image_[request.address] = request.data;
  }
  const std::uint8_t value = mapped ? image_[request.address] : 0;

  step.noReplyReason = SuppressReason(request.address);
  if (!step.noReplyReason.empty()) return;
  Frame reply = BuildReply(frame, value);
  if (faults_.badCheck > 0) {
    --faults_.badCheck;
    reply[3] ^= 0xFF;  // flips every bit, so it can never match by chance
    step.replyCorrupted = true;
  }
  step.reply = reply;
}

std::string CardModel::SuppressReason(std::uint16_t address) {
  if (faults_.silent) return "--silent";
  for (DropRule& rule : faults_.dropRegisters) {
    if (rule.address != address) continue;
    if (!rule.count) return "--drop-register " + std::to_string(address);
    if (*rule.count > 0) {
      --*rule.count;
      return "--drop-register " + std::to_string(address) + " (" + std::to_string(*rule.count) +
             " left)";
    }
  }
  return {};
}

}  // namespace quorvex::sim
