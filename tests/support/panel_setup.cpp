// Test panels: lists filled as at start, channels set and read back whole.
#include "tests/support/panel_setup.h"

#include <vector>

#include "core/channel_editing.h"
#include "core/quantity_catalogue.h"

namespace quorvex::testing {

void FillLists(ChannelPanel& panel) {
  FillChannelLists(panel);
}

MemoryPanel FilledPanel(std::string_view fieldText) {
  MemoryPanel panel;
  FillLists(panel);
  for (int n = 1; n <= kChannelCount; ++n) {
    for (ChannelComponent field :
         {ChannelComponent::Offset, ChannelComponent::Range, ChannelComponent::MeasurementRange}) {
      panel.SetText(ComponentName(field, n), fieldText);
    }
  }
  return panel;
}

void SetChannel(ChannelPanel& panel, int n, std::string_view quantity, int unit,
                std::string_view offset, std::string_view range, std::string_view measurement) {
  const std::string list = ComponentName(ChannelComponent::Quantity, n);
  const std::vector<std::string> items = panel.Items(list);
  int position = -1;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == quantity) position = static_cast<int>(i);
  }
  panel.SetItemIndex(list, position);
  panel.SetItemIndex(ComponentName(ChannelComponent::Unit, n), unit);
  panel.SetText(ComponentName(ChannelComponent::Offset, n), offset);
  panel.SetText(ComponentName(ChannelComponent::Range, n), range);
  panel.SetText(ComponentName(ChannelComponent::MeasurementRange, n), measurement);
}

void SetConfiguration(ChannelPanel& panel, const Configuration& configuration) {
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelSetting& c = configuration[static_cast<std::size_t>(n - 1)];
    panel.SetItemIndex(ComponentName(ChannelComponent::Quantity, n), c.quantity);
    panel.SetItemIndex(ComponentName(ChannelComponent::Unit, n), c.unit);
    panel.SetText(ComponentName(ChannelComponent::Offset, n), c.offset);
    panel.SetText(ComponentName(ChannelComponent::Range, n), c.range);
    panel.SetText(ComponentName(ChannelComponent::MeasurementRange, n), c.measurement);
  }
}

void ShowConfiguration(ChannelPanel& panel, const Configuration& configuration) {
  FillLists(panel);
  SetConfiguration(panel, configuration);
  RefreshAllChannels(panel);
}

void FillKnownConfiguration(ChannelPanel& panel) {
  ShowConfiguration(panel, kKnownConfiguration);
}

void PrintTo(const ChannelState& c, std::ostream* os) {
  *os << "{quantity " << c.quantity << ", unit " << c.unit << ", '" << c.offset << "', '" << c.range
      << "', '" << c.measurement << "', label '" << c.label << "'}";
}

PanelState Snapshot(const ChannelPanel& panel) {
  PanelState state;
  for (int n = 1; n <= kChannelCount; ++n) {
    state[static_cast<std::size_t>(n - 1)] = {
        panel.ItemIndex(ComponentName(ChannelComponent::Quantity, n)),
        panel.ItemIndex(ComponentName(ChannelComponent::Unit, n)),
        panel.Text(ComponentName(ChannelComponent::Offset, n)),
        panel.Text(ComponentName(ChannelComponent::Range, n)),
        panel.Text(ComponentName(ChannelComponent::MeasurementRange, n)),
        panel.Text(ComponentName(ChannelComponent::UnitLabel, n))};
  }
  return state;
}

}  // namespace quorvex::testing
