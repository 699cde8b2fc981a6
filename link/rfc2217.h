// The telnet layer of a device server's port (RFC 854 commands, RFC 2217 COM port control), as
// a byte-in, byte-out state machine without a socket, so that every split of the stream can be
// tried in a test.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace quorvex {

namespace telnet {
inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPort = 44;
// COM port option commands from client to server; the server answers each plus 100.
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kPurgeData = 12;
inline constexpr std::uint8_t kServerReply = 100;
// SET-CONTROL values.
inline constexpr std::uint8_t kNoFlowControl = 1;  // outbound, or both for most servers
inline constexpr std::uint8_t kDtrOn = 8;
inline constexpr std::uint8_t kRtsOn = 11;
inline constexpr std::uint8_t kRtsOff = 12;
inline constexpr std::uint8_t kNoInboundFlowControl = 14;
inline constexpr std::uint8_t kPurgeBoth = 3;
}  // namespace telnet

// One telnet command taken out of the received stream.
struct TelnetEvent {
  std::uint8_t command = 0;  // kWill, kWont, kDo, kDont, kSb, or another command byte
  std::uint8_t option = 0;   // for the four verbs and kSb
  std::vector<std::uint8_t> parameters = {};  // kSb: what came between the option and IAC SE
  bool operator==(const TelnetEvent&) const = default;
};

// Splits a received byte stream into the data bytes and the telnet commands between them, one
// piece at a time as the reads deliver it: a command or subnegotiation may end in a later piece.
class TelnetParser {
 public:
  void Feed(const std::uint8_t* bytes, std::size_t count, std::deque<std::uint8_t>& data,
            std::vector<TelnetEvent>& events);

 private:
  enum class State { Data, Iac, Verb, SubOption, Sub, SubIac };
  // A subnegotiation longer than any the COM port option sends is cut to this, not stored whole.
  static constexpr std::size_t kMaxParameters = 64;
  State state_ = State::Data;
  TelnetEvent pending_;
};

// The client's side of the negotiation for 1200 baud, 8 data bits, no parity, one stop bit: what
// to send, what the server's answers mean, and the replies the server's own requests get.
class Rfc2217Client {
 public:
  // IAC WILL/DO BINARY, IAC WILL COM-PORT and the four settings, all at once.
  std::vector<std::uint8_t> Start();
  // Takes received bytes: data bytes go to `data`, replies to send to `reply`.
  void Receive(const std::uint8_t* bytes, std::size_t count, std::deque<std::uint8_t>& data,
               std::vector<std::uint8_t>& reply);
  // Every setting's last answer the value asked for, binary both ways, COM port agreed.
  bool Ready() const;
  // Why the server cannot serve: it refused an option; "" while it can.
  const std::string& Refusal() const { return refusal_; }
  // What is still awaited, for the message after a time-out: "the baud rate".
  std::string Awaited() const;
  // Why the negotiation had not ended by its deadline: a setting whose last answer was another
  // value ("the server set the baud rate to 9600 instead of 1200"), else "" (nothing came).
  std::string Mismatch() const;
  // Once the settings are agreed and before the first data byte: no flow control in either
  // direction and DTR on, whatever the server's port was set to before. Not answered by every
  // server (a pty has no such lines), so not waited for.
  static std::vector<std::uint8_t> LineControls();

  // One data byte as it goes out: 0xFF doubled.
  static void AppendData(std::uint8_t b, std::vector<std::uint8_t>& out);
  // IAC SB COM-PORT command value... IAC SE, 0xFF in the value doubled.
  static std::vector<std::uint8_t> Command(std::uint8_t command,
                                           const std::vector<std::uint8_t>& value);

 private:
  void Handle(const TelnetEvent& e, std::vector<std::uint8_t>& reply);
  void HandleComPortReply(const TelnetEvent& e);
  void Refuse(const std::string& why);

  TelnetParser parser_;
  std::vector<TelnetEvent> events_;
  // One side of the options: the server's (what it does, answered with DO/DONT) or ours
  // (answered with WILL/WONT). Per option whether it holds, and whether our own request for it
  // is still unanswered.
  struct Side {
    std::uint8_t yes;
    std::uint8_t no;
    std::array<bool, 256> enabled{};
    std::array<bool, 256> asked{};
    void Told(std::uint8_t option, bool on, bool acceptable, std::vector<std::uint8_t>& reply);
  };
  Side his_{telnet::kDo, telnet::kDont};
  Side ours_{telnet::kWill, telnet::kWont};
  // The server's last answer to each setting, by command (1 to 4); some servers first report
  // the value they had and then the one asked for, so an answer is never final.
  std::array<std::optional<std::vector<std::uint8_t>>, 5> reported_{};
  std::string refusal_;
};

}  // namespace quorvex
