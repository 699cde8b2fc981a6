// The re-display of the channels, the list change, the edit fields' key filter.
#include "core/channel_editing.h"

#include <climits>
#include <cstdint>

#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/number_text.h"
#include "core/quantity_catalogue.h"

namespace quorvex {

namespace {

void FormatField(ChannelPanel& panel, const std::string& component, std::string_view pattern) {
  const float value = NarrowToSingle(LenientParse(panel.Text(component)));
  panel.SetText(component, FormatFixed(pattern, value));
}

}  // namespace

void FormatChannel(ChannelPanel& panel, int channel) {
  FormatField(panel, ComponentName(ChannelComponent::Offset, channel), "%2.1f");
  FormatField(panel, ComponentName(ChannelComponent::Range, channel), "%2.1f");
  FormatField(panel, ComponentName(ChannelComponent::MeasurementRange, channel),
              QuantityFormat(panel.Text(ComponentName(ChannelComponent::Quantity, channel))));
}

void FormatAllChannels(ChannelPanel& panel) {
  for (int n = 1; n <= kChannelCount; ++n) FormatChannel(panel, n);
}

void SetUnitLabel(ChannelPanel& panel, int channel, std::string_view text) {
  panel.SetText(ComponentName(ChannelComponent::UnitLabel, channel), text);
}

void ComboBoxChange(ChannelPanel& panel, int channel) {
  SetUnitLabel(panel, channel,
               QuantityUnit(panel.Text(ComponentName(ChannelComponent::Quantity, channel))));
  FormatAllChannels(panel);
}

void RefreshAllChannels(ChannelPanel& panel) {
  for (int n = 1; n <= kChannelCount; ++n) ComboBoxChange(panel, n);
}

int ChannelFromLastCharacter(std::string_view componentName) {
  if (componentName.empty()) return 0;
  const char last = componentName.back();
  return (last >= '0' && last <= '9') ? last - '0' : 0;
}

int ChannelFromDigits(std::string_view componentName) {
  int channel = 0;
  for (char c : componentName) {
    if (c < '0' || c > '9') continue;
    // No component carries such a number; 0 reaches no channel either.
    if (channel > (INT_MAX - 9) / 10) return 0;
    channel = channel * 10 + (c - '0');
  }
  return channel;
}

std::optional<char> FilterKeyChar(char typed) {
  if (typed == ',') return '.';
  if (typed == 8 || typed == 9 || typed == 13 || typed == '.' || (typed >= '0' && typed <= '9')) {
    return typed;
  }
  return std::nullopt;
}

}  // namespace quorvex
