// The four-byte register frame with its OR check byte, and one register exchange.
#pragma once

#include <array>
#include <cstdint>

namespace quorvex {

class ByteLink;

enum class Direction { Write, Read };

using RequestFrame = std::array<std::uint8_t, 4>;

// Byte 0: address bits 8..14 plus bit 7 for a read; byte 1: address bits 0..7; byte 2: data
// (0 for a read); byte 3: OR of the three.
RequestFrame BuildRequestFrame(std::uint16_t address, std::uint8_t data, Direction direction);

// What a request frame asks for, read back from its bytes (for logs of the line).
struct RequestFields {
  std::uint16_t address = 0;
  Direction direction = Direction::Write;
  std::uint8_t data = 0;
};
RequestFields ParseRequestFrame(const RequestFrame& frame);

// A reply passes when its byte 3 is the OR of the first three.
constexpr bool ReplyCheckPasses(const std::array<std::uint8_t, 4>& reply) {
  return reply[3] == (reply[0] | reply[1] | reply[2]);
}

// One register exchange: sends the request again while complete replies fail their check, up to
// 51 sends. `reply` holds r2 of the last pass (0 when it did not arrive). True when the last
// reply arrived complete and passed its check.
bool RegisterExchange(ByteLink& link, std::uint16_t address, std::uint8_t data, Direction direction,
                      std::uint8_t& reply);

}  // namespace quorvex
