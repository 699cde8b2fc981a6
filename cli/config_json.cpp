// The JSON form of a configuration: written from the view, typed into a panel when read.
#include "cli/config_json.h"

#include <algorithm>

#include "core/channel_panel.h"
#include "core/quantity_catalogue.h"

namespace quorvex::cli {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

constexpr const char* kFormat = "quorvex-configuration";
constexpr int kVersion = 1;

[[noreturn]] void Fail(const std::string& path, const std::string& message) {
  throw JsonInputError(path + ": " + message);
}

std::string TypeName(const json& value) {
  return value.is_number()    ? "a number"
         : value.is_string()  ? "a text"
         : value.is_object()  ? "an object"
         : value.is_array()   ? "a list"
         : value.is_boolean() ? "true or false"
                              : "null";
}

const json& Member(const json& object, const std::string& path, const char* key) {
  const auto it = object.find(key);
  if (it == object.end()) Fail(path, std::string("\"") + key + "\" is missing");
  return *it;
}

std::string Text(const json& object, const std::string& path, const char* key) {
  const json& value = Member(object, path, key);
  if (!value.is_string()) {
    Fail(path + "." + key, "expected a text in quotes (\"0.5\"), found " + TypeName(value));
  }
  return value.get<std::string>();
}

void EnterChannel(const json& entry, const std::string& path, int channel, MemoryPanel& panel) {
  if (!entry.is_object()) Fail(path, "expected an object, found " + TypeName(entry));
  static constexpr const char* kKeys[] = {"channel", "quantity",         "unit",           "offset",
                                          "range",   "measurementRange", "measurementUnit"};
  for (const auto& [key, value] : entry.items()) {
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
      Fail(path + "." + key, "unknown field");
    }
  }
  if (const auto number = entry.find("channel"); number != entry.end()) {
    if (!number->is_number_integer() || number->get<long long>() != channel) {
      Fail(path + ".channel", "expected " + std::to_string(channel) + ", found " + number->dump());
    }
  }

  const std::string quantity = Text(entry, path, "quantity");
  const std::string quantityList = ComponentName(ChannelComponent::Quantity, channel);
  const auto names = panel.Items(quantityList);
  const auto found = std::find(names.begin(), names.end(), quantity);
  // "" is a channel without a quantity, as the window shows an unknown code.
  if (found == names.end() && !quantity.empty()) {
    Fail(path + ".quantity", "unknown quantity \"" + quantity + "\"");
  }
  panel.SetItemIndex(quantityList,
                     found == names.end() ? -1 : static_cast<int>(found - names.begin()));

  const std::string unit = Text(entry, path, "unit");
  const std::string unitList = ComponentName(ChannelComponent::Unit, channel);
  const auto units = panel.Items(unitList);
  const auto unitFound = std::find(units.begin(), units.end(), unit);
  if (unitFound == units.end()) Fail(path + ".unit", "unknown unit \"" + unit + "\" (V or mA)");
  panel.SetItemIndex(unitList, static_cast<int>(unitFound - units.begin()));

  panel.SetText(ComponentName(ChannelComponent::Offset, channel), Text(entry, path, "offset"));
  panel.SetText(ComponentName(ChannelComponent::Range, channel), Text(entry, path, "range"));
  panel.SetText(ComponentName(ChannelComponent::MeasurementRange, channel),
                Text(entry, path, "measurementRange"));
  if (const auto label = entry.find("measurementUnit");
      label != entry.end() && !label->is_string()) {
    Fail(path + ".measurementUnit", "expected a text, found " + TypeName(*label));
  }
}

}  // namespace

ordered_json ChannelsJson(const ConfigurationView& view) {
  ordered_json channels = ordered_json::array();
  for (std::size_t i = 0; i < view.size(); ++i) {
    const ChannelView& c = view[i];
    channels.push_back({{"channel", i + 1},
                        {"quantity", c.quantity},
                        {"unit", c.unit},
                        {"offset", c.offset},
                        {"range", c.range},
                        {"measurementRange", c.measurementRange},
                        {"measurementUnit", c.measurementUnit}});
  }
  return channels;
}

ordered_json ConfigurationDocument(const ConfigurationView& view) {
  return {{"format", kFormat}, {"version", kVersion}, {"channels", ChannelsJson(view)}};
}

void EnterDocument(const std::string& text, MemoryPanel& panel) {
  json document;
  try {
    document = json::parse(text);
  } catch (const json::parse_error& e) {
    // The library's text names the line and column, which is what a person editing it needs.
    Fail("$", std::string("not valid JSON: ") + e.what());
  }
  if (!document.is_object()) Fail("$", "expected an object, found " + TypeName(document));
  if (const auto format = document.find("format"); format != document.end()) {
    if (*format != kFormat) Fail("$.format", "expected \"" + std::string(kFormat) + "\"");
  }
  if (const auto version = document.find("version"); version != document.end()) {
    if (*version != kVersion) Fail("$.version", "version " + version->dump() + " is not known");
  }
  const json& channels = Member(document, "$", "channels");
  if (!channels.is_array()) Fail("$.channels", "expected a list, found " + TypeName(channels));
  if (channels.size() != static_cast<std::size_t>(kChannelCount)) {
    Fail("$.channels", "expected " + std::to_string(kChannelCount) + " channels, found " +
                           std::to_string(channels.size()));
  }
  for (int n = 1; n <= kChannelCount; ++n) {
    EnterChannel(channels[static_cast<std::size_t>(n - 1)],
                 "$.channels[" + std::to_string(n - 1) + "]", n, panel);
  }
}

}  // namespace quorvex::cli
