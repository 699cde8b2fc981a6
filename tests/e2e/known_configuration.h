#pragma once

#include "core/channel_panel.h"
#include "core/config_image.h"

namespace quorvex::e2e {

// Quantity and unit lists filled as the window fills them.
void FillLists(ChannelPanel& panel);

// Eight channels that between them use both units, scale factors 1, 10 and 100 and the edges of
// the offset and range scales; display texts re-formatted as the window shows them.
void FillKnownConfiguration(ChannelPanel& panel);

// FillKnownConfiguration worked out by hand: KonfigByte, then per channel GasByte, OffsetByte,
// BereichsByte, MessbereichsWord high and low.
inline constexpr ConfigImage kKnownImage = {
    0x55,                       //
    0,    10, 200, 0x00, 0xFA,  // O2, V: 0.5, 10, 25 (x10)
    1,    40, 200, 0x03, 0xE8,  // CO, mA: 4, 20, 1000
    2,    0,  204, 0x04, 0xB0,  // TGas, V: 0, 10.2, 1200
    3,    0,  200, 0x01, 0xF4,  // Lambda, mA: 0, 20, 5 (x100)
    4,    50, 100, 0x04, 0xB0,  // Eta, V: 2.5, 5, 120 (x10)
    5,    50, 204, 0x00, 0xC8,  // CO2, mA: 5, 20.4, 20 (x10)
    7,    20, 200, 0x01, 0xF4,  // TRaum, V: 1, 10, 50 (x10)
    17,   4,  160, 0xF6, 0x18,  // Sens6, mA: 0.4, 16, 63000
};

}  // namespace quorvex::e2e
