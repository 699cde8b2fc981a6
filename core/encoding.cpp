// The card's byte encodings of each channel setting, both ways, through the channel panel.
#include "core/encoding.h"

#include <algorithm>

#include "core/channel_panel.h"
#include "core/image_layout.h"
#include "core/number_text.h"
#include "core/quantity_catalogue.h"

namespace quorvex {

namespace {

static_assert(kChannelCount <= 8, "the KonfigByte holds one unit bit per channel");

// Keeps the low bits of the rounded value: out-of-width values wrap, as the card expects the
// plain two's-complement truncation.
template <typename Unsigned>
Unsigned LowBits(long double product) {
  return static_cast<Unsigned>(static_cast<std::uint64_t>(RoundToInt64(product)));
}

std::uint8_t EncodeOutputField(const ChannelPanel& panel, int channel, ChannelComponent field) {
  const long double value = StrictParse(panel.Text(ComponentName(field, channel)));
  return LowBits<std::uint8_t>(value * 10.0L * UnitFactor(panel, channel));
}

void DecodeOutputField(ChannelPanel& panel, int channel, ChannelComponent field, std::uint8_t b) {
  const long double value = static_cast<long double>(b) / 10.0L / UnitFactor(panel, channel);
  panel.SetText(ComponentName(field, channel), GeneralText(value));
}

}  // namespace

int UnitFactor(const ChannelPanel& panel, int channel) {
  return panel.ItemIndex(ComponentName(ChannelComponent::Unit, channel)) == kVoltsPosition ? 2 : 1;
}

std::uint8_t EncodeKonfigByte(const ChannelPanel& panel) {
  std::uint8_t b = 0;
  for (int n = kChannelCount; n >= 1; --n) {
    if (panel.Text(ComponentName(ChannelComponent::Unit, n)) == "V")
      b |= static_cast<std::uint8_t>(1u << (n - 1));
  }
  return b;
}

std::uint8_t EncodeGasByte(const ChannelPanel& panel, int channel) {
  return static_cast<std::uint8_t>(
      QuantityCode(panel.Text(ComponentName(ChannelComponent::Quantity, channel))));
}

std::uint8_t EncodeOffsetByte(const ChannelPanel& panel, int channel) {
  return EncodeOutputField(panel, channel, ChannelComponent::Offset);
}

std::uint8_t EncodeBereichsByte(const ChannelPanel& panel, int channel) {
  return EncodeOutputField(panel, channel, ChannelComponent::Range);
}

std::uint16_t EncodeMessbereichsWord(const ChannelPanel& panel, int channel) {
  const long double scale =
      QuantityScale(panel.Text(ComponentName(ChannelComponent::Quantity, channel)));
  const long double value =
      StrictParse(panel.Text(ComponentName(ChannelComponent::MeasurementRange, channel)));
  return LowBits<std::uint16_t>(value * scale);
}

void DecodeKonfigByte(ChannelPanel& panel, std::uint8_t b) {
  for (int n = 1; n <= kChannelCount; ++n) DecodeUnitBit(panel, n, b);
}

void DecodeUnitBit(ChannelPanel& panel, int channel, std::uint8_t konfigByte) {
  const bool volts = ((static_cast<unsigned>(konfigByte) >> (channel - 1)) & 1u) != 0;
  panel.SetItemIndex(ComponentName(ChannelComponent::Unit, channel),
                     volts ? kVoltsPosition : kMilliampsPosition);
}

void DecodeGasByte(ChannelPanel& panel, int channel, std::uint8_t g) {
  const std::string list = ComponentName(ChannelComponent::Quantity, channel);
  const std::string name = QuantityName(g);
  int position = -1;
  if (!name.empty()) {
    const std::vector<std::string> items = panel.Items(list);
    const auto it = std::find(items.begin(), items.end(), name);
    if (it != items.end()) position = static_cast<int>(it - items.begin());
  }
  panel.SetItemIndex(list, position);
}

void DecodeOffsetByte(ChannelPanel& panel, int channel, std::uint8_t b) {
  DecodeOutputField(panel, channel, ChannelComponent::Offset, b);
}

void DecodeBereichsByte(ChannelPanel& panel, int channel, std::uint8_t b) {
  DecodeOutputField(panel, channel, ChannelComponent::Range, b);
}

void DecodeMessbereichsWord(ChannelPanel& panel, int channel, std::uint16_t w) {
  // The scale of whatever quantity is selected now; the decode order makes that the new one.
  const long double scale =
      QuantityScale(panel.Text(ComponentName(ChannelComponent::Quantity, channel)));
  panel.SetText(ComponentName(ChannelComponent::MeasurementRange, channel),
                GeneralText(static_cast<long double>(w) / scale));
}

}  // namespace quorvex
