// Feeds the register exchange an arbitrary reply stream. Every read takes two input bytes: a
// presence byte (odd: the byte arrives) and the value. Properties: at most 51 requests, each the
// same frame; the result and the output byte follow from the last pass's reply alone.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/property.h"
#include "link/com_port.h"
#include "link/register_exchange.h"

namespace {

using quorvex::fuzz::Fail;

class StreamLink : public quorvex::ByteLink {
 public:
  StreamLink(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool WriteComByte(std::uint8_t b) override {
    written.push_back(b);
    return true;
  }
  bool ReadComByte(std::uint8_t& b) override {
    b = 0;
    bool present = false;
    if (pos_ + 1 < size_) {
      present = (data_[pos_] & 1) != 0;
      if (present) b = data_[pos_ + 1];
      pos_ += 2;
    }
    reads.push_back({present, b});
    return present;
  }

  struct Read {
    bool present;
    std::uint8_t value;
  };
  std::vector<std::uint8_t> written;
  std::vector<Read> reads;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const auto address = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
  const std::uint8_t value = data[2];
  const auto direction = (data[3] & 1) ? quorvex::Direction::Read : quorvex::Direction::Write;
  StreamLink link(data + 4, size - 4);

  const bool read = direction == quorvex::Direction::Read;
  std::uint8_t reply = 0xEE;
  const bool ok = quorvex::RegisterExchange(link, address, read ? 0 : value, direction, reply);

  // The frame as the card expects it, worked out here independently of BuildRequestFrame.
  std::uint8_t frame[4];
  frame[0] = static_cast<std::uint8_t>(((address >> 8) & 0x7F) | (read ? 0x80 : 0x00));
  frame[1] = static_cast<std::uint8_t>(address & 0xFF);
  frame[2] = read ? 0 : value;
  frame[3] = static_cast<std::uint8_t>(frame[0] | frame[1] | frame[2]);
  if (link.written.empty() || link.written.size() % 4 != 0) Fail("partial request");
  const std::size_t passes = link.written.size() / 4;
  if (passes > 51) Fail("more than 51 requests");
  for (std::size_t i = 0; i < link.written.size(); ++i) {
    if (link.written[i] != frame[i % 4]) Fail("repeated request differs");
  }
  if (link.reads.size() != passes * 4) Fail("not four reads per pass");

  const auto* last = &link.reads[(passes - 1) * 4];
  const bool complete = last[0].present && last[1].present && last[2].present && last[3].present;
  const bool valid = complete && last[3].value == (last[0].value | last[1].value | last[2].value);
  if (ok != valid) Fail("result does not match the last reply's check");
  if (reply != last[2].value) Fail("output byte is not the last r2");
  // A pass ends the exchange early only when a byte was missing or the reply was valid.
  for (std::size_t p = 0; p + 1 < passes; ++p) {
    const auto* r = &link.reads[p * 4];
    const bool earlierComplete = r[0].present && r[1].present && r[2].present && r[3].present;
    if (!earlierComplete || r[3].value == (r[0].value | r[1].value | r[2].value)) {
      Fail("went on after a pass that should have ended the exchange");
    }
  }
  if (!ok && complete && passes != 51) Fail("gave up on bad replies before 51 requests");
  return 0;
}
