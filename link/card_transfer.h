// The write and read procedures (SendenClick, EmpfangenClick) and the seams they run on.
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

// What a transfer needs from outside. RegisterAddress belongs to the main window.
struct TransferSeams {
  ChannelPanel& panel;
  Operator& op;
  ComPort& port;
  Clock& clock;
  AppContext& ctx;
  std::uint16_t& registerAddress;
  RegisterRecord* record = nullptr;  // filled when given; the window gives none
};

// How a transfer ended, for callers that act on it; the window shows it in the status line only.
enum class TransferOutcome {
  Done,              // every register exchanged
  NotValid,          // the check refused the channels; nothing was sent
  PortNotAvailable,  // the port could not be had; nothing was exchanged
  Failed,            // at least one exchange failed
};

// "Transmission error" and a 1000 ms pause when ok is false.
void ShowTransmissionError(TransferSeams& s, bool ok);

// Writing: the part of SendenClick after the check passed.
TransferOutcome SendConfiguration(TransferSeams& s);
// Channel n's five registers. Kept on purpose as the named step; the loop uses its counting form.
bool SendChannel(TransferSeams& s, int channel);
// The whole write command: status, check, transfer.
TransferOutcome SendenClick(TransferSeams& s);

// Reading: the whole read command.
TransferOutcome EmpfangenClick(TransferSeams& s);
std::uint8_t ReceiveKonfigByte(TransferSeams& s, bool& ok);
// Reads the five registers of the channel and applies them, with the unit from the channel's bit
// of the KonfigByte, only when all five came: a channel that was not read keeps its unit along
// with its values.
bool ReceiveChannel(TransferSeams& s, int channel, std::uint8_t konfigByte);

}  // namespace quorvex
