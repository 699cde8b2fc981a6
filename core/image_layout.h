// The 41-byte image's layout: the card's register map, which is also a .KFG file's content.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvex {

// The card's analogue outputs, numbered 1 to kChannelCount.
inline constexpr int kChannelCount = 8;

// Byte 0 the KonfigByte; channel n at 5n-4..5n: GasByte, OffsetByte, BereichsByte, word high,
// word low. Both the card's register map and the content of a .KFG file.
inline constexpr std::size_t kConfigImageSize = 41;
using ConfigImage = std::array<std::uint8_t, kConfigImageSize>;

// One channel's part of the image, in register order.
inline constexpr std::size_t kChannelImageSize = 5;
using ChannelImage = std::array<std::uint8_t, kChannelImageSize>;

// First register (and file offset) of channel n.
constexpr std::size_t ChannelOffset(int channel) {
  return kChannelImageSize * static_cast<std::size_t>(channel) - 4;
}
static_assert(ChannelOffset(kChannelCount) + kChannelImageSize == kConfigImageSize);

// The MessbereichsWord held in the last two of a channel's five bytes, high byte first.
constexpr std::uint16_t MessbereichsWordOf(const std::uint8_t* fiveBytes) {
  return static_cast<std::uint16_t>((fiveBytes[3] << 8) | fiveBytes[4]);
}

// The register's name as the debug log calls its content: "KonfigByte", "GasByte 3",
// "OffsetByte 3", "BereichsByte 3", "MessbereichsWord 3 high"/"low"; "register 41" beyond.
std::string RegisterName(std::size_t address);

}  // namespace quorvex
