// The simulated card's own frame code: check byte, request fields, reply.
#pragma once

#include <array>
#include <cstdint>

// The card's own view of the four-byte frames. Deliberately written apart from the PC side's
// frame code: if both ends shared one routine, a mistake in it would pass every test.
namespace quorvex::sim {

using Frame = std::array<std::uint8_t, 4>;

// The register map the card holds: the 41 bytes of a configuration image.
inline constexpr std::uint16_t kRegisterCount = 41;

struct CardRequest {
  bool read = false;
  std::uint16_t address = 0;  // 15 bits: the request carries no bit 15
  std::uint8_t data = 0;
};

// True when byte 3 is the OR of bytes 0 to 2.
bool CheckByteValid(const Frame& frame);

CardRequest DecodeRequest(const Frame& frame);

// r0 and r1 echo the request's first two bytes, r2 is the register value, r3 the OR check byte.
Frame BuildReply(const Frame& request, std::uint8_t value);

}  // namespace quorvex::sim
