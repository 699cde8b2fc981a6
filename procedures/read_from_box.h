// Read from box (EmpfangenClick): the card's 41 registers onto the panel, channel by channel.
#pragma once

#include <cstdint>

#include "procedures/transfer_seams.h"

namespace quorvex {

// The whole read command.
TransferOutcome EmpfangenClick(TransferSeams& s);
std::uint8_t ReceiveKonfigByte(TransferSeams& s, bool& ok);
// Reads the five registers of the channel and applies them, with the unit from the channel's bit
// of the KonfigByte, only when all five came: a channel that was not read keeps its unit along
// with its values.
bool ReceiveChannel(TransferSeams& s, int channel, std::uint8_t konfigByte);

}  // namespace quorvex
