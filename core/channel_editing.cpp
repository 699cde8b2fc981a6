// The re-display of the channels, the list change, the edit fields' key filter.
#include "core/channel_editing.h"

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/number_text.h"
#include "core/quantity_catalogue.h"

namespace quorvex {

namespace {

// A field's re-display depends on nothing but its pattern and its text. A refresh re-displays
// every field after each channel's unit label, so it keeps what it computed last per field and
// computes again only for a pattern or text it has not seen there; the panel is read and written
// exactly as before.
struct FieldMemo {
  std::string pattern;
  std::string text;
  std::string formatted;
  bool known = false;
};
constexpr std::size_t kFormattedFields = 3;
using ChannelMemos = std::array<FieldMemo, kChannelCount * kFormattedFields>;

void FormatField(ChannelPanel& panel, const std::string& component, std::string_view pattern,
                 FieldMemo& memo) {
  std::string text = panel.Text(component);
  if (!memo.known || memo.pattern != pattern || memo.text != text) {
    const float value = NarrowToSingle(LenientParse(text));
    std::string formatted = FormatFixed(pattern, value);
    memo = FieldMemo{std::string(pattern), std::move(text), std::move(formatted), true};
  }
  panel.SetText(component, memo.formatted);
}

// `memo` holds the channel's kFormattedFields memos.
void FormatChannel(ChannelPanel& panel, int channel, FieldMemo* memo) {
  FormatField(panel, ComponentName(ChannelComponent::Offset, channel), "%2.1f", memo[0]);
  FormatField(panel, ComponentName(ChannelComponent::Range, channel), "%2.1f", memo[1]);
  FormatField(panel, ComponentName(ChannelComponent::MeasurementRange, channel),
              QuantityFormat(panel.Text(ComponentName(ChannelComponent::Quantity, channel))),
              memo[2]);
}

void FormatAllChannels(ChannelPanel& panel, ChannelMemos& memos) {
  for (int n = 1; n <= kChannelCount; ++n) {
    FormatChannel(panel, n, &memos[static_cast<std::size_t>(n - 1) * kFormattedFields]);
  }
}

void ComboBoxChange(ChannelPanel& panel, int channel, ChannelMemos& memos) {
  SetUnitLabel(panel, channel,
               QuantityUnit(panel.Text(ComponentName(ChannelComponent::Quantity, channel))));
  FormatAllChannels(panel, memos);
}

}  // namespace

void FormatChannel(ChannelPanel& panel, int channel) {
  std::array<FieldMemo, kFormattedFields> memos;
  FormatChannel(panel, channel, memos.data());
}

void FormatAllChannels(ChannelPanel& panel) {
  ChannelMemos memos;
  FormatAllChannels(panel, memos);
}

void SetUnitLabel(ChannelPanel& panel, int channel, std::string_view text) {
  panel.SetText(ComponentName(ChannelComponent::UnitLabel, channel), text);
}

void ComboBoxChange(ChannelPanel& panel, int channel) {
  ChannelMemos memos;
  ComboBoxChange(panel, channel, memos);
}

void RefreshAllChannels(ChannelPanel& panel) {
  ChannelMemos memos;
  for (int n = 1; n <= kChannelCount; ++n) ComboBoxChange(panel, n, memos);
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
