// Register exchange: one request frame and its reply, repeated while the reply fails its check.
#include "link/register_exchange.h"

#include "link/com_port.h"

namespace quorvex {

namespace {
// The card is given this many bad replies before the exchange gives up; the 51st ends it.
constexpr std::uint16_t kMaxMismatches = 50;
}  // namespace

RequestFrame BuildRequestFrame(std::uint16_t address, std::uint8_t data, Direction direction) {
  const bool read = direction == Direction::Read;
  RequestFrame frame{};
  // Bit 15 of the address has no place in the frame: bit 7 of byte 0 is the direction.
  frame[0] = static_cast<std::uint8_t>(((address >> 8) & 0x7F) | (read ? 0x80 : 0x00));
  frame[1] = static_cast<std::uint8_t>(address & 0xFF);
  frame[2] = read ? std::uint8_t{0} : data;
  frame[3] = static_cast<std::uint8_t>(frame[0] | frame[1] | frame[2]);
  return frame;
}

RequestFields ParseRequestFrame(const RequestFrame& frame) {
  RequestFields fields;
  fields.address = static_cast<std::uint16_t>(((frame[0] & 0x7F) << 8) | frame[1]);
  fields.direction = (frame[0] & 0x80) != 0 ? Direction::Read : Direction::Write;
  fields.data = frame[2];
  return fields;
}

bool RegisterExchange(ByteLink& link, std::uint16_t address, std::uint8_t data, Direction direction,
                      std::uint8_t& reply) {
  reply = 0;
  const RequestFrame request = BuildRequestFrame(address, data, direction);
  std::uint16_t mismatches = 0;
  bool readFailed = false;
  bool checkPassed = false;
  do {
    for (std::uint8_t b : request) link.WriteComByte(b);
    // All four reads are made even after a miss, and nothing is purged between passes: a byte
    // that comes late is taken as part of the next reply.
    std::array<std::uint8_t, 4> r{};
    for (std::uint8_t& b : r) {
      if (!link.ReadComByte(b)) readFailed = true;
    }
    checkPassed = ReplyCheckPasses(r);
    if (!readFailed && !checkPassed) ++mismatches;
    reply = r[2];
  } while (!readFailed && !checkPassed && mismatches <= kMaxMismatches);
  return !readFailed && checkPassed && mismatches <= kMaxMismatches;
}

}  // namespace quorvex
