#pragma once

#include <string>

#include "core/channel_panel.h"
#include "core/quantity_catalogue.h"

namespace quorvex::testing {

// A memory panel whose lists are filled as the main window fills them at start.
inline MemoryPanel FilledPanel() {
  MemoryPanel panel;
  for (int n = 1; n <= 8; ++n) {
    FillQuantityList(panel, ComponentName("ComboBox", n));
    FillUnitList(panel, ComponentName("EinheitBox", n));
  }
  return panel;
}

inline constexpr int kVolts = 0;
inline constexpr int kMilliamps = 1;
inline constexpr int kNoUnit = -1;

// Quantity by name ("" selects nothing), unit by list position, the three field texts.
inline void SetChannel(MemoryPanel& panel, int n, const std::string& quantity, int unitIndex,
                       const std::string& offset, const std::string& range,
                       const std::string& measurement) {
  const std::string list = ComponentName("ComboBox", n);
  int position = -1;
  const auto items = panel.Items(list);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == quantity) position = static_cast<int>(i);
  }
  panel.SetItemIndex(list, position);
  panel.SetItemIndex(ComponentName("EinheitBox", n), unitIndex);
  panel.SetText(ComponentName("Edit", n), offset);
  panel.SetText(ComponentName("BereichEdit", n), range);
  panel.SetText(ComponentName("MessEdit", n), measurement);
}

}  // namespace quorvex::testing
