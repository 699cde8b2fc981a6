// What a transfer with the card runs on, what it notes of the card's replies, and how it ended.
#pragma once

#include <bitset>
#include <cstdint>

#include "core/config_image.h"

namespace quorvex {

class ChannelPanel;
class Operator;
class ComPort;
class Clock;
struct AppContext;

// The registers a transfer exchanged with a good reply, and the value the card replied for each.
// A front end that needs the card's bytes as they are (not as the panel shows them) reads them
// here.
struct RegisterRecord {
  ConfigImage values{};
  std::bitset<kConfigImageSize> good;
  bool Complete() const { return good.all(); }
};

// What a transfer needs from outside. RegisterAddress belongs to the card session.
struct TransferSeams {
  ChannelPanel& panel;
  Operator& op;
  ComPort& port;
  Clock& clock;
  AppContext& ctx;
  std::uint16_t& registerAddress;
  RegisterRecord* record = nullptr;  // filled when given
};

// How a transfer ended, for callers that act on it; the window shows it in the status line only.
enum class TransferOutcome {
  Done,              // every register exchanged
  NotValid,          // the check refused the channels; nothing was sent
  PortNotAvailable,  // the port could not be had; nothing was exchanged
  Failed,            // at least one exchange failed
};

}  // namespace quorvex
