// Feeds the device server client what a server might send. The first byte sets the size of the
// pieces the rest arrives in (as reads split it). Properties: the pieces' split changes nothing
// (data, replies, readiness, refusal); no more data bytes come out than went in, and a stream
// without the IAC byte is all data, unchanged; every reply is a whole three-byte option verb.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "fuzz/property.h"
#include "link/rfc2217.h"

namespace {

using quorvex::Rfc2217Client;
using quorvex::fuzz::Fail;
namespace telnet = quorvex::telnet;

struct Outcome {
  std::deque<std::uint8_t> data;
  std::vector<std::uint8_t> reply;
  bool ready = false;
  std::string refusal;
};

Outcome Feed(const std::uint8_t* stream, std::size_t size, std::size_t piece) {
  Rfc2217Client client;
  client.Start();
  Outcome o;
  for (std::size_t at = 0; at < size; at += piece) {
    const std::size_t n = size - at < piece ? size - at : piece;
    client.Receive(stream + at, n, o.data, o.reply);
  }
  o.ready = client.Ready();
  o.refusal = client.Refusal();
  return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t piece = 1 + data[0] % 16;
  const std::uint8_t* stream = data + 1;
  const std::size_t length = size - 1;

  const Outcome whole = Feed(stream, length, length == 0 ? 1 : length);
  const Outcome split = Feed(stream, length, piece);
  if (whole.data != split.data || whole.reply != split.reply || whole.ready != split.ready ||
      whole.refusal != split.refusal) {
    Fail("the split of the stream changed what came out");
  }
  if (whole.data.size() > length) Fail("more data bytes than received bytes");
  bool escapes = false;
  for (std::size_t i = 0; i < length; ++i) escapes = escapes || stream[i] == telnet::kIac;
  if (!escapes && !std::equal(whole.data.begin(), whole.data.end(), stream, stream + length)) {
    Fail("a stream without IAC did not come out unchanged");
  }
  if (whole.reply.size() % 3 != 0) Fail("a reply that is no whole option verb");
  for (std::size_t i = 0; i < whole.reply.size(); i += 3) {
    const std::uint8_t verb = whole.reply[i + 1];
    if (whole.reply[i] != telnet::kIac || verb < telnet::kWill || verb > telnet::kDont) {
      Fail("a reply that is no option verb");
    }
  }
  return 0;
}
