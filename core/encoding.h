// The card's encodings: KonfigByte, GasByte, OffsetByte, BereichsByte and MessbereichsWord.
#pragma once

#include <cstdint>

namespace quorvex {

class ChannelPanel;

// The card's encodings of the channel settings. Encoders read the panel and never change it;
// they throw ConversionError when a field text fails the strict parse, and
// InvalidFloatOperationError when the rounded product does not fit a signed 64-bit integer (a
// product that fits wraps to the width). Decoders write the panel and never fail. Channel
// numbers are 1 to 8.

// 2 when EinheitBoxN has position 0 ("V") selected, 1 otherwise.
int UnitFactor(const ChannelPanel& panel, int channel);

std::uint8_t EncodeKonfigByte(const ChannelPanel& panel);
std::uint8_t EncodeGasByte(const ChannelPanel& panel, int channel);
std::uint8_t EncodeOffsetByte(const ChannelPanel& panel, int channel);
std::uint8_t EncodeBereichsByte(const ChannelPanel& panel, int channel);
std::uint16_t EncodeMessbereichsWord(const ChannelPanel& panel, int channel);

// Every channel's unit from its bit of the KonfigByte, as DecodeUnitBit does for one.
void DecodeKonfigByte(ChannelPanel& panel, std::uint8_t b);
// Channel n's unit from bit n-1 of the KonfigByte: set selects "V" (list position 0), clear
// "mA"; the other channels stay as they are.
void DecodeUnitBit(ChannelPanel& panel, int channel, std::uint8_t konfigByte);
void DecodeGasByte(ChannelPanel& panel, int channel, std::uint8_t g);
void DecodeOffsetByte(ChannelPanel& panel, int channel, std::uint8_t b);
void DecodeBereichsByte(ChannelPanel& panel, int channel, std::uint8_t b);
void DecodeMessbereichsWord(ChannelPanel& panel, int channel, std::uint16_t w);

}  // namespace quorvex
