// Feeds the device server client what a server might send. The first byte sets the size of the
// pieces the rest arrives in (as reads split it). Properties: the pieces' split changes nothing
// (data, replies, readiness, refusal); no more data bytes come out than went in, and a stream
// without the IAC byte is all data, unchanged; every reply is a whole three-byte option verb;
// the client never answers an answer: it sends no more verbs than it received requests, the
// verbs that answered its own three requests (binary both ways, the COM port option) not counted.
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

// The option verbs (WILL, WONT, DO, DONT) in the stream that ask something of the client: every
// verb but the first answer to each of the client's own requests.
std::size_t RequestsIn(const std::uint8_t* stream, std::size_t size) {
  quorvex::TelnetParser parser;
  std::deque<std::uint8_t> data;
  std::vector<quorvex::TelnetEvent> events;
  parser.Feed(stream, size, data, events);
  bool answered[3] = {false, false, false};  // his binary, our binary, our COM port option
  std::size_t requests = 0;
  for (const quorvex::TelnetEvent& e : events) {
    if (e.command < telnet::kWill || e.command > telnet::kDont) continue;
    const bool his = e.command == telnet::kWill || e.command == telnet::kWont;
    int request = -1;
    if (e.option == telnet::kBinary) request = his ? 0 : 1;
    if (e.option == telnet::kComPort && !his) request = 2;
    if (request >= 0 && !answered[request]) {
      answered[request] = true;
    } else {
      ++requests;
    }
  }
  return requests;
}

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
  if (whole.reply.size() / 3 > RequestsIn(stream, length)) {
    Fail("more replies than requests received: an answer was answered");
  }
  return 0;
}
