// The telnet layer of a device server's port: the received stream parsed, the options agreed.
#include "link/rfc2217.h"

namespace quorvex {

using namespace telnet;

namespace {

// What the line asks of the server, by COM port command: 1200 baud in network order, 8 data
// bits, no parity (1), one stop bit (1).
const std::vector<std::uint8_t>& Wanted(std::uint8_t command) {
  static const std::array<std::vector<std::uint8_t>, 5> kWanted{
      std::vector<std::uint8_t>{}, {0, 0, 1200 >> 8, 1200 & 0xFF}, {8}, {1}, {1}};
  return kWanted[command];
}

const char* SettingName(std::uint8_t command) {
  static constexpr std::array<const char*, 5> kNames{"", "baud rate", "data size", "parity",
                                                     "stop size"};
  return kNames[command];
}

std::string ValueText(const std::vector<std::uint8_t>& value) {
  if (value.size() == 4) {
    return std::to_string((static_cast<unsigned long>(value[0]) << 24) |
                          (static_cast<unsigned long>(value[1]) << 16) |
                          (static_cast<unsigned long>(value[2]) << 8) | value[3]);
  }
  std::string text;
  for (std::uint8_t b : value) text += (text.empty() ? "" : " ") + std::to_string(b);
  return text.empty() ? "nothing" : text;
}

// The options the server may do: binary data, and no go-ahead (which binary data needs no less).
bool HeMay(std::uint8_t option) {
  return option == kBinary || option == kSuppressGoAhead;
}

bool WeDo(std::uint8_t option) {
  return HeMay(option) || option == kComPort;
}

void AppendVerb(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& out) {
  out.insert(out.end(), {kIac, verb, option});
}

}  // namespace

void TelnetParser::Feed(const std::uint8_t* bytes, std::size_t count,
                        std::deque<std::uint8_t>& data, std::vector<TelnetEvent>& events) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = bytes[i];
    switch (state_) {
      case State::Data:
        if (b == kIac) {
          state_ = State::Iac;
        } else {
          data.push_back(b);
        }
        break;
      case State::Iac:
        state_ = State::Data;
        if (b == kIac) {
          data.push_back(b);
        } else if (b >= kWill && b <= kDont) {
          pending_ = {b, 0, {}};
          state_ = State::Verb;
        } else if (b == kSb) {
          state_ = State::SubOption;
        } else {
          events.push_back({b, 0, {}});
        }
        break;
      case State::Verb:
        pending_.option = b;
        events.push_back(pending_);
        state_ = State::Data;
        break;
      case State::SubOption:
        pending_ = {kSb, b, {}};
        state_ = State::Sub;
        break;
      case State::Sub:
        if (b == kIac) {
          state_ = State::SubIac;
        } else if (pending_.parameters.size() < kMaxParameters) {
          pending_.parameters.push_back(b);
        }
        break;
      case State::SubIac:
        if (b == kSe) {
          events.push_back(pending_);
          state_ = State::Data;
        } else if (b == kIac) {
          if (pending_.parameters.size() < kMaxParameters) pending_.parameters.push_back(b);
          state_ = State::Sub;
        } else {
          // A command inside a subnegotiation: the subnegotiation is broken off and the command
          // taken as one that followed IAC.
          state_ = State::Iac;
          --i;
        }
        break;
    }
  }
}

std::vector<std::uint8_t> Rfc2217Client::Start() {
  std::vector<std::uint8_t> out;
  AppendVerb(kWill, kBinary, out);
  AppendVerb(kDo, kBinary, out);
  AppendVerb(kWill, kComPort, out);
  ours_.asked[kBinary] = his_.asked[kBinary] = ours_.asked[kComPort] = true;
  for (std::uint8_t command = kSetBaudRate; command <= kSetStopSize; ++command) {
    const std::vector<std::uint8_t> sb = Command(command, Wanted(command));
    out.insert(out.end(), sb.begin(), sb.end());
  }
  return out;
}

void Rfc2217Client::Receive(const std::uint8_t* bytes, std::size_t count,
                            std::deque<std::uint8_t>& data, std::vector<std::uint8_t>& reply) {
  events_.clear();
  parser_.Feed(bytes, count, data, events_);
  for (const TelnetEvent& e : events_) Handle(e, reply);
}

bool Rfc2217Client::Ready() const {
  if (!refusal_.empty() || !his_.enabled[kBinary] || !ours_.enabled[kBinary] ||
      !ours_.enabled[kComPort]) {
    return false;
  }
  for (std::uint8_t command = kSetBaudRate; command <= kSetStopSize; ++command) {
    if (reported_[command] != Wanted(command)) return false;
  }
  return true;
}

std::string Rfc2217Client::Awaited() const {
  if (!his_.enabled[kBinary] || !ours_.enabled[kBinary]) return "binary mode";
  if (!ours_.enabled[kComPort]) return "the COM port option";
  for (std::uint8_t command = kSetBaudRate; command <= kSetStopSize; ++command) {
    if (reported_[command] != Wanted(command)) return std::string("the ") + SettingName(command);
  }
  return {};
}

std::string Rfc2217Client::Mismatch() const {
  for (std::uint8_t command = kSetBaudRate; command <= kSetStopSize; ++command) {
    const auto& value = reported_[command];
    if (value && *value != Wanted(command)) {
      return std::string("the server set the ") + SettingName(command) + " to " +
             ValueText(*value) + " instead of " + ValueText(Wanted(command));
    }
  }
  return {};
}

std::vector<std::uint8_t> Rfc2217Client::LineControls() {
  std::vector<std::uint8_t> out;
  for (const std::uint8_t control : {kNoFlowControl, kNoInboundFlowControl, kDtrOn}) {
    const std::vector<std::uint8_t> sb = Command(kSetControl, {control});
    out.insert(out.end(), sb.begin(), sb.end());
  }
  return out;
}

void Rfc2217Client::AppendData(std::uint8_t b, std::vector<std::uint8_t>& out) {
  out.push_back(b);
  if (b == kIac) out.push_back(b);
}

std::vector<std::uint8_t> Rfc2217Client::Command(std::uint8_t command,
                                                 const std::vector<std::uint8_t>& value) {
  std::vector<std::uint8_t> out{kIac, kSb, kComPort, command};
  for (std::uint8_t b : value) AppendData(b, out);
  out.insert(out.end(), {kIac, kSe});
  return out;
}

// One side of an option (the server's or ours) told "will"/"do" (`on`) or "won't"/"don't":
// agreed when acceptable, refused otherwise, and answered only when it was no answer to our own
// request and changes what holds, so that two parties never answer each other's answers.
void Rfc2217Client::Side::Told(std::uint8_t option, bool on, bool acceptable,
                               std::vector<std::uint8_t>& reply) {
  const bool wasAsked = asked[option];
  asked[option] = false;
  if (on == enabled[option]) return;
  if (on && !acceptable) {
    AppendVerb(no, option, reply);
    return;
  }
  enabled[option] = on;
  if (!wasAsked) AppendVerb(on ? yes : no, option, reply);
}

void Rfc2217Client::Handle(const TelnetEvent& e, std::vector<std::uint8_t>& reply) {
  const std::uint8_t option = e.option;
  switch (e.command) {
    case kWill:
    case kWont:
      his_.Told(option, e.command == kWill, HeMay(option), reply);
      if (e.command == kWont && option == kBinary) {
        Refuse("the server refused to send binary data");
      }
      break;
    case kDo:
    case kDont:
      ours_.Told(option, e.command == kDo, WeDo(option), reply);
      if (e.command == kDont && option == kBinary) Refuse("the server refused to take binary data");
      if (e.command == kDont && option == kComPort) {
        Refuse("the server refused the COM port option");
      }
      break;
    case kSb:
      if (option == kComPort) HandleComPortReply(e);
      break;
    default:
      break;  // NOP, go-ahead, break, data mark: nothing the card's bytes depend on
  }
}

void Rfc2217Client::HandleComPortReply(const TelnetEvent& e) {
  if (e.parameters.empty()) return;
  const int command = e.parameters.front() - kServerReply;
  if (command < kSetBaudRate || command > kSetStopSize) return;  // line state, purge, RTS ...
  reported_[static_cast<std::size_t>(command)].emplace(e.parameters.begin() + 1,
                                                       e.parameters.end());
}

void Rfc2217Client::Refuse(const std::string& why) {
  if (refusal_.empty()) refusal_ = why;
}

}  // namespace quorvex
