// Test panels and the known configuration with its hand-made 41-byte image.
#pragma once

#include <array>
#include <ostream>
#include <string>
#include <string_view>

#include "core/channel_panel.h"
#include "core/config_image.h"

namespace quorvex::testing {

// Positions in a unit list.
inline constexpr int kVolts = 0;
inline constexpr int kMilliamps = 1;
inline constexpr int kNoUnit = -1;

// Fills the quantity and unit lists of all eight channels as the main window does at start,
// each with its default selection ("CO", "mA").
void FillLists(ChannelPanel& panel);

// A memory panel with its lists filled and every edit field holding `fieldText`.
MemoryPanel FilledPanel(std::string_view fieldText = {});

// One channel: quantity by name ("" selects nothing), unit by list position, the three texts.
void SetChannel(ChannelPanel& panel, int n, std::string_view quantity, int unit,
                std::string_view offset, std::string_view range, std::string_view measurement);

// The settings of one channel by list positions (-1 selects nothing), and of all eight.
struct ChannelSetting {
  int quantity;
  int unit;
  const char* offset;
  const char* range;
  const char* measurement;
};
using Configuration = std::array<ChannelSetting, kChannelCount>;

// Selects and types the settings of every channel. Like every write by the program it runs no
// handler, so unit labels and formats stay as they were.
void SetConfiguration(ChannelPanel& panel, const Configuration& configuration);
// Lists filled, settings entered, labels and values re-displayed: the panel as the window shows
// it after start.
void ShowConfiguration(ChannelPanel& panel, const Configuration& configuration);

// Eight channels that between them use both units, scale factors 1, 10 and 100 and the edges of
// the offset and range scales; texts as typed, not as re-displayed.
inline constexpr Configuration kKnownConfiguration{{
    {0, kVolts, "0.5", "10", "25"},         // O2
    {1, kMilliamps, "4", "20", "1000"},     // CO
    {2, kVolts, "0", "10.2", "1200"},       // TGas
    {3, kMilliamps, "0", "20", "5"},        // Lambda
    {4, kVolts, "2.5", "5", "120"},         // Eta
    {5, kMilliamps, "5", "20.4", "20"},     // CO2
    {6, kVolts, "1", "10", "50"},           // TRaum
    {14, kMilliamps, "0.4", "16", "63000"}  // Sens6
}};

// kKnownConfiguration worked out by hand: KonfigByte, then per channel GasByte, OffsetByte,
// BereichsByte, MessbereichsWord high and low.
inline constexpr ConfigImage kKnownImage = {
    0x55,                       //
    0,    10, 200, 0x00, 0xFA,  // O2, V: 0.5, 10, 25 (x10)
    1,    40, 200, 0x03, 0xE8,  // CO, mA: 4, 20, 1000
    2,    0,  204, 0x04, 0xB0,  // TGas, V: 0, 10.2, 1200
    3,    0,  200, 0x01, 0xF4,  // Lambda, mA: 0, 20, 5 (x100)
    4,    50, 100, 0x04, 0xB0,  // Eta, V: 2.5, 5, 120 (x10)
    5,    50, 204, 0x00, 0xC8,  // CO2, mA: 5, 20.4, 20 (x10)
    7,    20, 200, 0x01, 0xF4,  // TRaum, V: 1, 10, 50 (x10)
    17,   4,  160, 0xF6, 0x18,  // Sens6, mA: 0.4, 16, 63000
};

// ShowConfiguration with the known configuration.
void FillKnownConfiguration(ChannelPanel& panel);

// What one channel of a panel shows, and all eight, to compare whole panels.
struct ChannelState {
  int quantity = -1;
  int unit = -1;
  std::string offset, range, measurement, label;
  bool operator==(const ChannelState&) const = default;
};
void PrintTo(const ChannelState& c, std::ostream* os);
using PanelState = std::array<ChannelState, kChannelCount>;
PanelState Snapshot(const ChannelPanel& panel);

}  // namespace quorvex::testing
