// The telnet layer of a device server's port (RFC 854 commands, RFC 2217 COM port control), as
// a byte-in, byte-out state machine without a socket, so that every split of the stream can be
// tried in a test.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
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
inline constexpr std::uint8_t kRtsOn = 11;
inline constexpr std::uint8_t kRtsOff = 12;
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
  // Every setting acknowledged with the value asked for, binary both ways, COM port agreed.
  bool Ready() const;
  // Why the server cannot serve: it refused an option or set another value; "" while it can.
  const std::string& Refusal() const { return refusal_; }
  // What is still awaited, for the message after a time-out: "the baud rate".
  std::string Awaited() const;

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
  // Per option: whether the server agreed to do it (his side) and we to do it (our side), and
  // whether our own request for it is still unanswered, so that an answer is never answered.
  std::array<bool, 256> his_{};
  std::array<bool, 256> ours_{};
  std::array<bool, 256> askedHim_{};
  std::array<bool, 256> askedUs_{};
  // The settings' acknowledgements, by command (1 to 4).
  std::array<bool, 5> acknowledged_{};
  std::string refusal_;
};

}  // namespace quorvex
