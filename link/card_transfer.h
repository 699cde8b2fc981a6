#pragma once

#include <cstdint>

namespace quorvex {

class ChannelPanel;
class Operator;
class ComPort;
class Clock;
struct AppContext;

// What a transfer needs from outside. RegisterAddress belongs to the main window.
struct TransferSeams {
  ChannelPanel& panel;
  Operator& op;
  ComPort& port;
  Clock& clock;
  AppContext& ctx;
  std::uint16_t& registerAddress;
};

// "Transmission error" and a 1000 ms pause when ok is false.
void ShowTransmissionError(TransferSeams& s, bool ok);

// Writing: the part of SendenClick after the check passed.
void SendConfiguration(TransferSeams& s);
bool SendChannel(TransferSeams& s, int channel);
// The whole write command: status, check, transfer.
void SendenClick(TransferSeams& s);

// Reading: the whole read command.
void EmpfangenClick(TransferSeams& s);
std::uint8_t ReceiveKonfigByte(TransferSeams& s, bool& ok);
// Reads the five registers of the channel and applies them, with the unit from the channel's bit
// of the KonfigByte, only when all five came: a channel that was not read keeps its unit along
// with its values.
bool ReceiveChannel(TransferSeams& s, int channel, std::uint8_t konfigByte);

}  // namespace quorvex
