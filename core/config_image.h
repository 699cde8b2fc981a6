// The 41-byte image from a panel's settings and back onto a panel.
#pragma once

#include "core/image_layout.h"

namespace quorvex {

class ChannelPanel;

// Computes all 41 bytes from the panel (throws what the encoders throw, before anything else).
ConfigImage EncodeConfiguration(const ChannelPanel& panel);
// Channel n's five bytes, encoded in register order (throws what the encoders throw).
ChannelImage EncodeChannel(const ChannelPanel& panel, int channel);

// Applies one channel's five bytes in decoding order: quantity, offset, range, measurement range.
void ApplyChannel(ChannelPanel& panel, int channel, const std::uint8_t* fiveBytes);

// Applies a whole image: KonfigByte first (offset and range decoding depend on the unit), then
// every channel in turn. Does not refresh the display; callers run RefreshAllChannels.
void ApplyConfiguration(ChannelPanel& panel, const ConfigImage& image);

}  // namespace quorvex
