// What editing a channel does: the check before write or save, the re-display, the key filter.
#pragma once

#include <optional>
#include <string>
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

// Re-displays offset and range with "%2.1f" and the measurement range with the quantity's
// format. Throws FloatOverflowError when a value does not fit single precision.
void FormatChannel(ChannelPanel& panel, int channel);
void FormatAllChannels(ChannelPanel& panel);
void SetUnitLabel(ChannelPanel& panel, int channel, std::string_view text);
// What a change of quantity list n does: unit label from the quantity, then all re-formatted.
void ComboBoxChange(ChannelPanel& panel, int channel);
void RefreshAllChannels(ChannelPanel& panel);

// Channel of "ComboBox3": the value of the last character; 0 (no channel) when it is no digit.
int ChannelFromLastCharacter(std::string_view componentName);
// Channel of "BereichEdit5": the number formed by all decimal digits of the name; 0 when there
// are none or the number is absurdly long.
int ChannelFromDigits(std::string_view componentName);

// The key filter of the edit fields: "," becomes "."; backspace, tab, Enter, "." and digits
// pass; everything else is dropped (nothing returned).
std::optional<char> FilterKeyChar(char typed);

}  // namespace quorvex
