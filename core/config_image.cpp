// The 41-byte image from a panel and back, and the names the debug log gives its registers.
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

std::string RegisterName(std::size_t address) {
  if (address == 0) return "KonfigByte";
  if (address >= kConfigImageSize) return "register " + std::to_string(address);
  static constexpr const char* kNames[kChannelImageSize] = {"GasByte", "OffsetByte", "BereichsByte",
                                                            "MessbereichsWord", "MessbereichsWord"};
  const std::size_t index = (address - 1) % kChannelImageSize;
  const std::string channel = std::to_string((address - 1) / kChannelImageSize + 1);
  std::string name = std::string(kNames[index]) + " " + channel;
  if (index == 3) name += " high";
  if (index == 4) name += " low";
  return name;
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
