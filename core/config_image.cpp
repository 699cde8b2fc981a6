// The 41-byte image from a panel and back, channel by channel in register order.
#include "core/config_image.h"

#include <algorithm>

#include "core/encoding.h"

namespace quorvex {

ConfigImage EncodeConfiguration(const ChannelPanel& panel) {
  ConfigImage image{};
  image[0] = EncodeKonfigByte(panel);
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelImage channel = EncodeChannel(panel, n);
    std::copy(channel.begin(), channel.end(), image.begin() + ChannelOffset(n));
  }
  return image;
}

ChannelImage EncodeChannel(const ChannelPanel& panel, int channel) {
  const std::uint8_t gas = EncodeGasByte(panel, channel);
  const std::uint8_t offset = EncodeOffsetByte(panel, channel);
  const std::uint8_t range = EncodeBereichsByte(panel, channel);
  const std::uint16_t word = EncodeMessbereichsWord(panel, channel);
  return {gas, offset, range, static_cast<std::uint8_t>(word >> 8),
          static_cast<std::uint8_t>(word & 0xFFu)};
}

void ApplyChannel(ChannelPanel& panel, int channel, const std::uint8_t* fiveBytes) {
  // The quantity first: the word is divided by the scale of the quantity selected at that moment.
  DecodeGasByte(panel, channel, fiveBytes[0]);
  DecodeOffsetByte(panel, channel, fiveBytes[1]);
  DecodeBereichsByte(panel, channel, fiveBytes[2]);
  DecodeMessbereichsWord(panel, channel, MessbereichsWordOf(fiveBytes));
}

void ApplyConfiguration(ChannelPanel& panel, const ConfigImage& image) {
  DecodeKonfigByte(panel, image[0]);
  for (int n = 1; n <= kChannelCount; ++n) ApplyChannel(panel, n, image.data() + ChannelOffset(n));
}

}  // namespace quorvex
