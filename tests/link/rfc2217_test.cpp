// The telnet layer of a device server's port, as tables: what the parser makes of each stream
// however the reads split it, what the client answers, and the URLs of the ports.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "link/network_port.h"
#include "link/rfc2217.h"

namespace quorvex {
namespace {

using namespace telnet;
using Bytes = std::vector<std::uint8_t>;

struct Parsed {
  Bytes data;
  std::vector<TelnetEvent> events;
};

// The stream fed in pieces of `piece` bytes, as reads may deliver it.
Parsed Parse(const Bytes& stream, std::size_t piece) {
  TelnetParser parser;
  std::deque<std::uint8_t> data;
  Parsed parsed;
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    parser.Feed(stream.data() + at, std::min(piece, stream.size() - at), data, parsed.events);
  }
  parsed.data.assign(data.begin(), data.end());
  return parsed;
}

TEST(Rfc2217Test, ParserSeparatesDataFromCommandsHoweverTheReadsSplitTheStream) {
  struct Case {
    const char* what;
    Bytes stream;
    Bytes data;
    std::vector<TelnetEvent> events;
  };
  const Case cases[] = {
      {"plain data", {0x80, 0x07, 0x00, 0x87}, {0x80, 0x07, 0x00, 0x87}, {}},
      {"IAC IAC is one 0xFF", {0x80, kIac, kIac, 0xFE}, {0x80, 0xFF, 0xFE}, {}},
      {"a verb between data bytes",
       {0x01, kIac, kWill, kBinary, 0x02},
       {0x01, 0x02},
       {{kWill, kBinary, {}}}},
      {"a subnegotiation between data bytes, 0xFF doubled inside",
       {0x01, kIac, kSb, kComPort, 101, 0, 0, kIac, kIac, 0xB0, kIac, kSe, 0x02},
       {0x01, 0x02},
       {{kSb, kComPort, {101, 0, 0, 0xFF, 0xB0}}}},
      {"a bare command (NOP) between data bytes", {0x01, kIac, 241, 0x02}, {0x01, 0x02}, {{241}}},
      {"a command breaks off a subnegotiation",
       {kIac, kSb, kComPort, 106, kIac, kDo, kComPort, 0x05},
       {0x05},
       {{kDo, kComPort, {}}}},
      {"a subnegotiation that never ends keeps what follows from the data",
       {kIac, kSb, kComPort, 0x01, 0x02, 0x03},
       {},
       {}},
  };
  for (const Case& c : cases) {
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, c.stream.size()}) {
      SCOPED_TRACE(std::string(c.what) + ", pieces of " + std::to_string(piece));
      const Parsed parsed = Parse(c.stream, piece);
      EXPECT_EQ(parsed.data, c.data);
      EXPECT_EQ(parsed.events, c.events);
    }
  }
}

TEST(Rfc2217Test, ParserKeepsAnOverlongSubnegotiationShort) {
  Bytes stream{kIac, kSb, kComPort};
  stream.insert(stream.end(), 10000, 0x41);
  stream.insert(stream.end(), {kIac, kSe, 0x07});
  const Parsed parsed = Parse(stream, 4096);
  ASSERT_EQ(parsed.events.size(), 1u);
  EXPECT_LE(parsed.events[0].parameters.size(), 64u);
  EXPECT_EQ(parsed.data, Bytes{0x07});
}

// What the server sends as ser2net 4.3.11 does: its requests, then the four acknowledgements.
Bytes Ser2netAnswers() {
  Bytes answers{kIac, kWill, kSuppressGoAhead,
                kIac, kDo,   kSuppressGoAhead,
                kIac, kWill, 1,
                kIac, kDont, 1,
                kIac, kDo,   kBinary,
                kIac, kWill, kBinary,
                kIac, kDo,   kComPort};
  for (const Bytes& ack :
       {Bytes{101, 0, 0, 0x04, 0xB0}, Bytes{102, 8}, Bytes{103, 1}, Bytes{104, 1}, Bytes{112, 3}}) {
    answers.insert(answers.end(), {kIac, kSb, kComPort});
    answers.insert(answers.end(), ack.begin(), ack.end());
    answers.insert(answers.end(), {kIac, kSe});
  }
  return answers;
}

struct Exchange {
  Bytes data;
  Bytes reply;
};

Exchange Receive(Rfc2217Client& client, const Bytes& bytes) {
  std::deque<std::uint8_t> data;
  Exchange e;
  client.Receive(bytes.data(), bytes.size(), data, e.reply);
  e.data.assign(data.begin(), data.end());
  return e;
}

TEST(Rfc2217Test, ClientAsksFor1200EightNoneOneAndIsReadyOnceEachIsAcknowledged) {
  Rfc2217Client client;
  const Bytes start = client.Start();
  const Bytes expected{kIac, kWill, kBinary,  kIac, kDo, kBinary, kIac, kWill, kComPort,  // options
                       kIac, kSb,   kComPort, 1,    0,   0,       4,    0xB0,  kIac,
                       kSe,                                              // baud
                       kIac, kSb,   kComPort, 2,    8,   kIac,    kSe,   // data size
                       kIac, kSb,   kComPort, 3,    1,   kIac,    kSe,   // parity none
                       kIac, kSb,   kComPort, 4,    1,   kIac,    kSe};  // one stop bit
  EXPECT_EQ(start, expected);
  EXPECT_FALSE(client.Ready());
  EXPECT_EQ(client.Awaited(), "binary mode");

  const Exchange e = Receive(client, Ser2netAnswers());
  EXPECT_TRUE(client.Ready());
  EXPECT_EQ(client.Refusal(), "");
  EXPECT_TRUE(e.data.empty());
  // Go-ahead suppression taken, echo refused (the card's bytes must not come back), and no
  // answer to what answered our own requests.
  EXPECT_EQ(e.reply,
            (Bytes{kIac, kDo, kSuppressGoAhead, kIac, kWill, kSuppressGoAhead, kIac, kDont, 1}));
}

TEST(Rfc2217Test, ClientRefusesUnknownOptionsAndSaysWhyTheServerCannotServe) {
  struct Case {
    const char* what;
    Bytes received;
    Bytes reply;
    std::string refusal;
    std::string mismatch = "";  // not refused at once: waited on until the deadline
  };
  const Case cases[] = {
      {"an unknown option offered", {kIac, kWill, 99}, {kIac, kDont, 99}, ""},
      {"an unknown option asked for", {kIac, kDo, 99}, {kIac, kWont, 99}, ""},
      {"the COM port option refused",
       {kIac, kDont, kComPort},
       {},
       "the server refused the COM port option"},
      {"binary refused", {kIac, kWont, kBinary}, {}, "the server refused to send binary data"},
      {"another baud rate",
       {kIac, kSb, kComPort, 101, 0, 0, 0x25, 0x80, kIac, kSe},
       {},
       "",
       "the server set the baud rate to 9600 instead of 1200"},
      {"another parity",
       {kIac, kSb, kComPort, 103, 2, kIac, kSe},
       {},
       "",
       "the server set the parity to 2 instead of 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rfc2217Client client;
    client.Start();
    const Exchange e = Receive(client, c.received);
    EXPECT_EQ(e.reply, c.reply);
    EXPECT_EQ(client.Refusal(), c.refusal);
    EXPECT_EQ(client.Mismatch(), c.mismatch);
    EXPECT_FALSE(client.Ready());
  }
}

// A server's answer is framed as a client's command: IAC SB COM-PORT reply value IAC SE.
Bytes SettingAnswer(const Bytes& value) {
  return Rfc2217Client::Command(value.front(), Bytes(value.begin() + 1, value.end()));
}

// Some servers first report the setting their port had, then the one asked for.
TEST(Rfc2217Test, ClientGoesByTheLastAnswerToEachSetting) {
  const Bytes baud1200 = SettingAnswer({101, 0, 0, 0x04, 0xB0});
  const Bytes baud9600 = SettingAnswer({101, 0, 0, 0x25, 0x80});
  const Bytes parityEven = SettingAnswer({103, 3});
  struct Case {
    const char* what;
    std::vector<Bytes> answers;  // after ser2net's options and acknowledgements
    bool ready;
    std::string mismatch;
  };
  const Case cases[] = {
      {"the old baud rate, then the one asked for", {baud9600, baud1200}, true, ""},
      {"the old baud rate and parity, each in a later read",
       {parityEven, baud9600, baud1200, SettingAnswer({103, 1})},
       true,
       ""},
      {"the one asked for, then another",
       {baud1200, baud9600},
       false,
       "the server set the baud rate to 9600 instead of 1200"},
      {"another parity and nothing after",
       {parityEven},
       false,
       "the server set the parity to 3 instead of 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rfc2217Client client;
    client.Start();
    Receive(client, Ser2netAnswers());
    for (const Bytes& answer : c.answers) Receive(client, answer);
    EXPECT_EQ(client.Ready(), c.ready);
    EXPECT_EQ(client.Mismatch(), c.mismatch);
    EXPECT_EQ(client.Refusal(), "");
  }
  EXPECT_EQ(Rfc2217Client::LineControls(),
            (Bytes{kIac, kSb, kComPort, 5, 1,  kIac, kSe,     // no flow control (outbound)
                   kIac, kSb, kComPort, 5, 14, kIac, kSe,     // no inbound flow control
                   kIac, kSb, kComPort, 5, 8,  kIac, kSe}));  // DTR on
}

TEST(Rfc2217Test, ClientPassesDataAroundNegotiationAndEscapesTheIacByte) {
  Rfc2217Client client;
  client.Start();
  Receive(client, Ser2netAnswers());
  // A line-state notice and a NOP between the bytes of a reply frame never reach the exchange.
  const Exchange e = Receive(
      client, {0x80, kIac, kSb, kComPort, 106, 0x60, kIac, kSe, 0x05, kIac, kIac, kIac, 241, 0xFE});
  EXPECT_EQ(e.data, (Bytes{0x80, 0x05, 0xFF, 0xFE}));
  EXPECT_TRUE(e.reply.empty());

  Bytes out;
  for (const std::uint8_t b : Bytes{0x00, 0xFF, 0xFE}) Rfc2217Client::AppendData(b, out);
  EXPECT_EQ(out, (Bytes{0x00, 0xFF, 0xFF, 0xFE}));
  EXPECT_EQ(Rfc2217Client::Command(kSetControl, {kRtsOn}),
            (Bytes{kIac, kSb, kComPort, 5, 11, kIac, kSe}));
}

TEST(Rfc2217Test, EndpointUrlsReadBackAsWritten) {
  struct Case {
    const char* url;
    bool valid;
    NetworkEndpoint endpoint;
    const char* written;  // the URL form written back
  };
  const Case cases[] = {
      {"rfc2217://10.0.0.5:4001",
       true,
       {NetworkProtocol::Rfc2217, "10.0.0.5", 4001},
       "rfc2217://10.0.0.5:4001"},
      {"RFC2217://box-3.plant.example:1",
       true,
       {NetworkProtocol::Rfc2217, "box-3.plant.example", 1},
       "rfc2217://box-3.plant.example:1"},
      {"tcp://[fe80::1]:65535",
       true,
       {NetworkProtocol::Raw, "fe80::1", 65535},
       "tcp://[fe80::1]:65535"},
      {"tcp://10.0.0.5:0", false, {}, ""},
      {"tcp://10.0.0.5:65536", false, {}, ""},
      {"tcp://10.0.0.5", false, {}, ""},
      {"tcp://:4001", false, {}, ""},
      {"tcp://fe80::1:4001", false, {}, ""},
      {"telnet://10.0.0.5:4001", false, {}, ""},
      {"tcp://10.0.0.5:40x1", false, {}, ""},
      {"tcp://host name:4001", false, {}, ""},
      {"3", false, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto parsed = ParseNetworkEndpoint(c.url);
    ASSERT_EQ(parsed.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(*parsed, c.endpoint);
    EXPECT_EQ(NetworkEndpointUrl(*parsed), c.written);
    EXPECT_EQ(ParseNetworkEndpoint(NetworkEndpointUrl(*parsed)), parsed);
  }
}

}  // namespace
}  // namespace quorvex
