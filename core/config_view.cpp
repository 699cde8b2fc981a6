// Channels as the window shows them, read from a panel or an image, and compared by field.
#include "core/config_view.h"

#include "core/channel_editing.h"
#include "core/channel_panel.h"
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

std::vector<FieldDifference> CompareConfigurations(const ConfigurationView& first,
                                                   const ConfigurationView& second) {
  std::vector<FieldDifference> differences;
  for (int n = 1; n <= kChannelCount; ++n) {
    const auto i = static_cast<std::size_t>(n - 1);
    for (ChannelField field : kChannelFields) {
      std::string a = FieldText(first[i], field);
      std::string b = FieldText(second[i], field);
      // A unit change alone also changes the offset and range texts; name only the unit then,
      // unless the numbers themselves differ too.
      if (field == ChannelField::Offset && first[i].offset == second[i].offset) continue;
      if (field == ChannelField::Range && first[i].range == second[i].range) continue;
      if (a != b) differences.push_back({n, field, std::move(a), std::move(b)});
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
