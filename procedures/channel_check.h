// The check that guards Write to box and Save configuration: each channel against its unit's
// limits, the first failure shown in a box.
#pragma once

#include <string_view>

namespace quorvex {

class ChannelPanel;
class Operator;
struct AppContext;

// The check of all channels before a write or a save: sets ctx.errorChannel to each channel in
// turn and stops at the first that fails. Throws ConversionError, FloatOverflowError or
// InvalidFloatOperationError for field texts that are no usable number.
bool ValidateAllChannels(ChannelPanel& panel, Operator& op, AppContext& ctx);
// One channel's check. Public on purpose: each channel's limits are tested on their own.
bool ValidateChannel(ChannelPanel& panel, Operator& op, AppContext& ctx, int channel);
// Error box captioned "Configuration error Channel n", text "Channel n: " + message.
void ShowChannelError(Operator& op, const AppContext& ctx, std::string_view message);

}  // namespace quorvex
