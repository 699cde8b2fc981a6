#include "core/config_image.h"

#include "core/encoding.h"

namespace quorvex {

ConfigImage EncodeConfiguration(const ChannelPanel& panel) {
  ConfigImage image{};
  image[0] = EncodeKonfigByte(panel);
  for (int n = 1; n <= kChannelCount; ++n) {
    const std::size_t at = ChannelOffset(n);
    image[at] = EncodeGasByte(panel, n);
    image[at + 1] = EncodeOffsetByte(panel, n);
    image[at + 2] = EncodeBereichsByte(panel, n);
    const std::uint16_t word = EncodeMessbereichsWord(panel, n);
    image[at + 3] = static_cast<std::uint8_t>(word >> 8);
    image[at + 4] = static_cast<std::uint8_t>(word & 0xFFu);
  }
  return image;
}

void ApplyChannel(ChannelPanel& panel, int channel, const std::uint8_t* fiveBytes) {
  // The quantity first: the word is divided by the scale of the quantity selected at that moment.
  DecodeGasByte(panel, channel, fiveBytes[0]);
  DecodeOffsetByte(panel, channel, fiveBytes[1]);
  DecodeBereichsByte(panel, channel, fiveBytes[2]);
  DecodeMessbereichsWord(panel, channel,
                         static_cast<std::uint16_t>((fiveBytes[3] << 8) | fiveBytes[4]));
}

void ApplyConfiguration(ChannelPanel& panel, const ConfigImage& image) {
  DecodeKonfigByte(panel, image[0]);
  for (int n = 1; n <= kChannelCount; ++n) ApplyChannel(panel, n, image.data() + ChannelOffset(n));
}

}  // namespace quorvex
