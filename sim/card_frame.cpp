// The card's side of a frame: its check byte, the request it carries, the reply to it.
#include "sim/card_frame.h"

namespace quorvex::sim {

bool CheckByteValid(const Frame& frame) {
  return frame[3] == static_cast<std::uint8_t>(frame[0] | frame[1] | frame[2]);
}

CardRequest DecodeRequest(const Frame& frame) {
  CardRequest request;
  request.read = (frame[0] & 0x80) != 0;
  request.address = static_cast<std::uint16_t>(((frame[0] & 0x7F) << 8) | frame[1]);
  request.data = frame[2];
  return request;
}

Frame BuildReply(const Frame& request, std::uint8_t value) {
  return {request[0], request[1], value,
          static_cast<std::uint8_t>(request[0] | request[1] | value)};
}

}  // namespace quorvex::sim
