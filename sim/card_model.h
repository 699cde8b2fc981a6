// The simulated card without its line: register image, fault switches, one step per byte.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/card_frame.h"

namespace quorvex::sim {

using RegisterImage = std::array<std::uint8_t, kRegisterCount>;

// No reply for requests naming this register: the first `count` of them, or every one.
struct DropRule {
  std::uint16_t address = 0;
  std::optional<unsigned> count;
};

// Misbehaviour to show what failures look like. Every switch touches only the reply: the
// request itself is always carried out, as a card whose answer is lost on the line would.
struct CardFaults {
  bool silent = false;
  unsigned badCheck = 0;  // the first N replies carry a wrong check byte
  std::vector<DropRule> dropRegisters;
  std::optional<unsigned> hangupAfter;  // valid requests served before the line goes down
};

// Bytes closer together than this belong to one frame (see CardModel).
inline constexpr std::chrono::milliseconds kDefaultFrameGap{200};

// What one received byte led to. Most bytes only complete part of a frame and leave it empty.
struct CardStep {
  std::vector<std::uint8_t> discarded;  // a partial frame given up because of a gap
  std::optional<Frame> badFrame;        // four bytes whose check byte was wrong: dropped whole
  std::optional<Frame> request;         // a valid request, carried out
  std::optional<Frame> reply;           // to be sent back
  bool replyCorrupted = false;
  std::string noReplyReason;  // set when a valid request goes unanswered on purpose
  bool imageChanged = false;  // a write stored a value different from the one held
  bool hangup = false;        // the line must go down now; the byte was not taken
};

// The card's side of the register exchange.
//
// Resynchronisation: the card has no frame marker, so it uses time. Bytes that arrive more than
// `frameGap` after the previous byte start a new frame and the unfinished one is thrown away; a
// complete frame whose check byte is wrong is dropped whole, without a reply. The PC sends the
// four bytes of a request about 20 ms apart, and after a request that got no answer it stays
// silent for at least a second (its read time-outs), so after garbage on the line the next
// request but one is understood at the latest. The default gap leaves room for a busy machine
// that delays a byte well beyond its nominal spacing.
class CardModel {
 public:
  explicit CardModel(CardFaults faults = {}, RegisterImage image = {},
                     std::chrono::milliseconds frameGap = kDefaultFrameGap);

  CardStep Receive(std::uint8_t byte, std::chrono::milliseconds now);

  const RegisterImage& Image() const { return image_; }
  // For the tests only, kept on purpose: the count --hangup-after is measured against.
  unsigned ValidRequests() const { return validRequests_; }

 private:
  void Serve(const Frame& frame, CardStep& step);
  std::string SuppressReason(std::uint16_t address);

  CardFaults faults_;
  RegisterImage image_;
  std::chrono::milliseconds frameGap_;
  std::vector<std::uint8_t> pending_;
  std::chrono::milliseconds lastByte_{0};
  unsigned validRequests_ = 0;
};

}  // namespace quorvex::sim
