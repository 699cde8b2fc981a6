// A configuration as the window shows it, for the command line's tables, JSON and comparisons.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/config_image.h"

namespace quorvex {

class ChannelPanel;
class MemoryPanel;
struct TextSet;

// The five settings of a channel as the window's header names them, left to right.
enum class ChannelField { Quantity, Unit, Offset, Range, MeasurementRange };
inline constexpr std::array<ChannelField, 5> kChannelFields = {
    ChannelField::Quantity, ChannelField::Unit, ChannelField::Offset, ChannelField::Range,
    ChannelField::MeasurementRange};

// One channel as the window shows it: the selected list entries and the re-displayed texts.
struct ChannelView {
  std::string quantity;          // selected quantity name, "" when none
  std::string unit;              // "V", "mA", "" when none
  std::string offset;            // as re-displayed, "0.5"
  std::string range;             // "10.0"
  std::string measurementRange;  // in the quantity's format, "25.0"
  std::string measurementUnit;   // the unit label beside it, "%"
  bool operator==(const ChannelView&) const = default;
};
using ConfigurationView = std::array<ChannelView, kChannelCount>;

// What channel n of the panel shows now.
ChannelView ViewChannel(const ChannelPanel& panel, int channel);
ConfigurationView ViewConfiguration(const ChannelPanel& panel);

// Puts an image into a panel as loading a file does: lists filled with their defaults, the image
// decoded, every channel re-displayed. Throws what the re-display throws.
void ShowImage(MemoryPanel& panel, const ConfigImage& image);
// The channels the window would show after loading the image.
ConfigurationView ViewImage(const ConfigImage& image);

// The field's caption in the window's header ("Measurement value", "Format", ...).
const std::string& FieldHeader(const TextSet& texts, ChannelField field);
// The field's text as shown, with its unit where the window shows one beside it ("0.5 V",
// "25.0 %"); the lists give their entry alone.
std::string FieldText(const ChannelView& channel, ChannelField field);

// A field whose registers differ between two images, in the window's words: "1.5 V". Where the
// window's fixed format would round away digits the bytes hold, the decoded value with all of
// them ("1.55 V"); a quantity the catalogue does not know by its code ("code 6").
struct FieldDifference {
  int channel = 0;
  ChannelField field = ChannelField::Quantity;
  std::string first;
  std::string second;
  bool operator==(const FieldDifference&) const = default;
};
// Register by register, channel by channel, fields in header order: the KonfigByte's bit n-1 is
// channel n's unit, the two bytes of the MessbereichsWord one measurement range. A register that
// differs only as the consequence of another (TGas 50 and TRaum 50, words 50 and 500) adds no line
// of its own. Empty exactly when the images are equal. What "the card holds the configuration"
// means everywhere: the window's compare, the command line's verify, diff and write's read-back.
std::vector<FieldDifference> CompareImages(const ConfigImage& first, const ConfigImage& second);

// Bytes as two-digit upper-case hex separated by blanks ("55 00 0A"); the image's 41 bytes, a
// frame's four, one alone.
std::string HexBytes(const std::uint8_t* bytes, std::size_t count);
std::string ImageHex(const ConfigImage& image);

}  // namespace quorvex
