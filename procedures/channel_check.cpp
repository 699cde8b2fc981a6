// The channel check against the unit's limits, with the box that names the failing channel.
#include "procedures/channel_check.h"

#include <cstdint>
#include <optional>
#include <string>

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

}  // namespace quorvex
