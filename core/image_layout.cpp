// The names the debug log gives the image's registers.
#include "core/image_layout.h"

namespace quorvex {

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

}  // namespace quorvex
