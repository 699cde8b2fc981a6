// What editing a channel does: the re-display, the list change, the key filter.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvex {

class ChannelPanel;

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
