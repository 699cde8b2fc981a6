// The fixed table of measured quantities in list order, and the lists filled from it.
#include "core/quantity_catalogue.h"

#include <array>
#include <charconv>

#include "core/channel_panel.h"
#include "core/image_layout.h"
#include "core/number_text.h"

namespace quorvex {

namespace {

// Row order is fixed: the settings file stores a quantity as its list position.
constexpr std::array<QuantityRow, 15> kRows{{
    {"O2", "0", "%", "10", "%1.1f"},
    {"CO", "1", "ppm", "1", "%1.0f"},
    {"TGas", "2", "\u00b0C", "1", "%1.0f"},
    {"Lambda", "3", "", "100", "%1.2f"},
    {"Eta", "4", "%", "10", "%1.1f"},
    {"CO2", "5", "%", "10", "%1.1f"},
    {"TRaum", "7", "\u00b0C", "10", "%1.0f"},
    {"NO", "8", "ppm", "1", "%1.0f"},
    {"SO2", "9", "ppm", "1", "%1.0f"},
    {"NO2", "10", "ppm", "1", "%1.0f"},
    {"CxHx", "11", "ppm", "1", "%1.0f"},
    {"H2", "14", "ppm", "1", "%1.0f"},
    {"NOx", "15", "ppm", "1", "%1.0f"},
    {"Verluste", "16", "%", "10", "%1.1f"},
    {"Sens6", "17", "ppm", "1", "%1.0f"},
}};

const QuantityRow* FindByName(std::string_view name) {
  for (const QuantityRow& row : kRows) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

int CodeOf(const QuantityRow& row) {
  std::string_view text = row.code;
  int code = 255;
  std::from_chars(text.data(), text.data() + text.size(), code);
  return code;
}

}  // namespace

std::span<const QuantityRow> QuantityCatalogue() {
  return kRows;
}

std::string QuantityUnit(std::string_view name) {
  const QuantityRow* row = FindByName(name);
  return row ? row->unit : "?";
}

std::string QuantityFormat(std::string_view name) {
  const QuantityRow* row = FindByName(name);
  return row ? row->format : "";
}

long double QuantityScale(std::string_view name) {
  const QuantityRow* row = FindByName(name);
  return row ? StrictParse(row->scale) : 1.0L;
}

int QuantityCode(std::string_view name) {
  const QuantityRow* row = FindByName(name);
  return row ? CodeOf(*row) : 255;
}

std::string QuantityName(int code) {
  for (const QuantityRow& row : kRows) {
    if (CodeOf(row) == code) return row.name;
  }
  return {};
}

void FillQuantityList(ChannelPanel& panel, std::string_view list) {
  std::vector<std::string> names;
  names.reserve(kRows.size());
  for (const QuantityRow& row : kRows) names.emplace_back(row.name);
  panel.SetItems(list, names);
  panel.SetItemIndex(list, 1);
}

void FillUnitList(ChannelPanel& panel, std::string_view list) {
  static_assert(kVoltsPosition == 0 && kMilliampsPosition == 1, "the order of the list below");
  panel.SetItems(list, {"V", "mA"});
  panel.SetItemIndex(list, kMilliampsPosition);
}

void FillChannelLists(ChannelPanel& panel) {
  for (int n = 1; n <= kChannelCount; ++n) {
    FillQuantityList(panel, ComponentName(ChannelComponent::Quantity, n));
    FillUnitList(panel, ComponentName(ChannelComponent::Unit, n));
  }
}

}  // namespace quorvex
