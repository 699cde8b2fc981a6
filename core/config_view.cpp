// Channels as the window shows them, read from a panel or an image; images compared by register.
#include "core/config_view.h"

#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/number_text.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"

namespace quorvex {

ChannelView ViewChannel(const ChannelPanel& panel, int channel) {
  ChannelView v;
  v.quantity = panel.Text(ComponentName(ChannelComponent::Quantity, channel));
  v.unit = panel.Text(ComponentName(ChannelComponent::Unit, channel));
  v.offset = panel.Text(ComponentName(ChannelComponent::Offset, channel));
  v.range = panel.Text(ComponentName(ChannelComponent::Range, channel));
  v.measurementRange = panel.Text(ComponentName(ChannelComponent::MeasurementRange, channel));
  v.measurementUnit = panel.Text(ComponentName(ChannelComponent::UnitLabel, channel));
  return v;
}

ConfigurationView ViewConfiguration(const ChannelPanel& panel) {
  ConfigurationView view;
  for (int n = 1; n <= kChannelCount; ++n)
    view[static_cast<std::size_t>(n - 1)] = ViewChannel(panel, n);
  return view;
}

void ShowImage(MemoryPanel& panel, const ConfigImage& image) {
  FillChannelLists(panel);
  ApplyConfiguration(panel, image);
  RefreshAllChannels(panel);
}

ConfigurationView ViewImage(const ConfigImage& image) {
  MemoryPanel panel;
  ShowImage(panel, image);
  return ViewConfiguration(panel);
}

const std::string& FieldHeader(const TextSet& texts, ChannelField field) {
  switch (field) {
    case ChannelField::Quantity:
      return texts.quantityHeader;
    case ChannelField::Unit:
      return texts.unitHeader;
    case ChannelField::Offset:
      return texts.offsetHeader;
    case ChannelField::Range:
      return texts.rangeHeader;
    case ChannelField::MeasurementRange:
      break;
  }
  return texts.measurementHeader;
}

std::string FieldText(const ChannelView& channel, ChannelField field) {
  auto withUnit = [](const std::string& value, const std::string& unit) {
    return unit.empty() ? value : value + " " + unit;
  };
  switch (field) {
    case ChannelField::Quantity:
      return channel.quantity;
    case ChannelField::Unit:
      return channel.unit;
    case ChannelField::Offset:
      return withUnit(channel.offset, channel.unit);
    case ChannelField::Range:
      return withUnit(channel.range, channel.unit);
    case ChannelField::MeasurementRange:
      break;
  }
  return withUnit(channel.measurementRange, channel.measurementUnit);
}

namespace {

// The channels as the decoders leave them before the re-display: every value with all its digits.
ConfigurationView DecodedView(const ConfigImage& image) {
  MemoryPanel panel;
  FillChannelLists(panel);
  ApplyConfiguration(panel, image);
  return ViewConfiguration(panel);
}

// The shown number where it tells the decoded value whole, else the decoded value: "%2.1f" shows
// 1.55 V as "1.5", and two bytes that show alike must still read apart.
std::string ToldNumber(const std::string& shown, const std::string& decoded) {
  const auto first = shown.find_first_not_of(' ');
  if (first == std::string::npos) return decoded;
  const std::string trimmed = shown.substr(first);
  return GeneralText(LenientParse(trimmed)) == decoded ? trimmed : decoded;
}

ChannelView ToldChannel(const ChannelView& shown, const ChannelView& decoded, std::uint8_t gas) {
  ChannelView told = shown;
  if (told.quantity.empty()) told.quantity = "code " + std::to_string(gas);
  told.offset = ToldNumber(shown.offset, decoded.offset);
  told.range = ToldNumber(shown.range, decoded.range);
  told.measurementRange = ToldNumber(shown.measurementRange, decoded.measurementRange);
  return told;
}

// Every channel in the words CompareImages uses.
ConfigurationView ToldImage(const ConfigImage& image) {
  const ConfigurationView shown = ViewImage(image);
  const ConfigurationView decoded = DecodedView(image);
  ConfigurationView told;
  for (int n = 1; n <= kChannelCount; ++n) {
    const auto i = static_cast<std::size_t>(n - 1);
    told[i] = ToldChannel(shown[i], decoded[i], image[ChannelOffset(n)]);
  }
  return told;
}

bool RegistersDiffer(const ConfigImage& a, const ConfigImage& b, int channel, ChannelField field) {
  const std::size_t at = ChannelOffset(channel);
  switch (field) {
    case ChannelField::Unit:
      return ((static_cast<unsigned>(a[0] ^ b[0]) >> (channel - 1)) & 1u) != 0;
    case ChannelField::Quantity:
      return a[at] != b[at];
    case ChannelField::Offset:
      return a[at + 1] != b[at + 1];
    case ChannelField::Range:
      return a[at + 2] != b[at + 2];
    case ChannelField::MeasurementRange:
      break;
  }
  return a[at + 3] != b[at + 3] || a[at + 4] != b[at + 4];
}

}  // namespace

std::vector<FieldDifference> CompareImages(const ConfigImage& first, const ConfigImage& second) {
  std::vector<FieldDifference> differences;
  if (first == second) return differences;
  const auto a = ToldImage(first);
  const auto b = ToldImage(second);
  for (int n = 1; n <= kChannelCount; ++n) {
    const auto i = static_cast<std::size_t>(n - 1);
    for (ChannelField field : kChannelFields) {
      if (!RegistersDiffer(first, second, n, field)) continue;
      std::string x = FieldText(a[i], field);
      std::string y = FieldText(b[i], field);
      if (x != y) differences.push_back({n, field, std::move(x), std::move(y)});
    }
  }
  return differences;
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    if (i != 0) hex += ' ';
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

std::string ImageHex(const ConfigImage& image) {
  return HexBytes(image.data(), image.size());
}

}  // namespace quorvex
