// The measured quantities: name, card code, unit, scale and format; the two channel lists.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quorvex {

class ChannelPanel;

// One row of the fixed table of measured quantities. Every field is text, as the table is kept;
// code and scale are converted where they are used.
struct QuantityRow {
  const char* name;
  const char* code;
  const char* unit;  // UTF-8; "°C" is the degree sign followed by "C"
  const char* scale;
  const char* format;
};

// The whole table. Only the tests walk it; kept on purpose so every row is checked.
std::span<const QuantityRow> QuantityCatalogue();

// Lookups by exact, case-sensitive name (or by code). Defaults when no row matches:
std::string QuantityUnit(std::string_view name);    // "?"
std::string QuantityFormat(std::string_view name);  // ""
long double QuantityScale(std::string_view name);   // 1.0
int QuantityCode(std::string_view name);            // 255
std::string QuantityName(int code);                 // ""

// Empties the list, appends the fifteen names in row order and selects position 1 ("CO").
void FillQuantityList(ChannelPanel& panel, std::string_view list);
// The positions of the unit list; the card's unit bits and factors are tied to them.
inline constexpr int kVoltsPosition = 0;
inline constexpr int kMilliampsPosition = 1;
// Empties the list, appends "V" and "mA" and selects position 1 ("mA").
void FillUnitList(ChannelPanel& panel, std::string_view list);
// Both lists of every channel, each with its default selection, as the window has them at start.
void FillChannelLists(ChannelPanel& panel);

}  // namespace quorvex
