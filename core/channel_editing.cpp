// The channel check against the unit's limits, the re-display, the edit fields' key filter.
#include "core/channel_editing.h"

#include <climits>
#include <cstdint>

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/number_text.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"

namespace quorvex {

namespace {

constexpr std::int64_t kMaxMessbereichsWord = 65000;

// A field's text times a factor, narrowed the way the limits are compared: in single precision.
float SingleValue(const ChannelPanel& panel, ChannelComponent field, int channel,
                  long double factor) {
  return NarrowToSingle(StrictParse(panel.Text(ComponentName(field, channel))) * factor);
}

void FormatField(ChannelPanel& panel, const std::string& component, std::string_view pattern) {
  const float value = NarrowToSingle(LenientParse(panel.Text(component)));
  panel.SetText(component, FormatFixed(pattern, value));
}

}  // namespace

bool ValidateAllChannels(ChannelPanel& panel, Operator& op, AppContext& ctx) {
  for (int n = 1; n <= kChannelCount; ++n) {
    ctx.errorChannel = n;
    if (!ValidateChannel(panel, op, ctx, n)) return false;
  }
  return true;
}

bool ValidateChannel(ChannelPanel& panel, Operator& op, AppContext& ctx, int channel) {
  const std::string unit = panel.Text(ComponentName(ChannelComponent::Unit, channel));
  // All three conversions run before any comparison, so a bad text ends the check even when an
  // earlier limit would have failed.
  const float o = SingleValue(panel, ChannelComponent::Offset, channel, 10.0L);
  const float r = SingleValue(panel, ChannelComponent::Range, channel, 10.0L);
  const float m =
      SingleValue(panel, ChannelComponent::MeasurementRange, channel,
                  QuantityScale(panel.Text(ComponentName(ChannelComponent::Quantity, channel))));

  const TextSet& texts = ctx.texts;
  auto fail = [&](const std::string& message, std::optional<ChannelComponent> focus) {
    ShowChannelError(op, ctx, message);
    if (focus) panel.Focus(ComponentName(*focus, channel));
    return false;
  };
  if (unit == "V") {
    if (o > 25.0f || !(o >= 0.0f)) return fail(texts.offsetErrorV, ChannelComponent::Offset);
    if (r > 102.0f || !(r >= 0.0f)) return fail(texts.rangeErrorV, ChannelComponent::Range);
  } else if (unit == "mA") {
    if (o > 50.0f || !(o >= 0.0f)) return fail(texts.offsetErrorMa, ChannelComponent::Offset);
    if (r > 204.0f || !(r >= 0.0f)) return fail(texts.rangeErrorMa, ChannelComponent::Range);
  }
  const std::int64_t k = RoundToInt64(m);
  if (k < 0 || k > kMaxMessbereichsWord) return fail(texts.measurementError, std::nullopt);
  return true;
}

void ShowChannelError(Operator& op, const AppContext& ctx, std::string_view message) {
  const std::string channelText = ctx.texts.channel + " " + std::to_string(ctx.errorChannel);
  op.MessageBox(ctx.texts.configErrorCaption + " " + channelText,
                channelText + ": " + std::string(message), BoxIcon::Error);
}

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
