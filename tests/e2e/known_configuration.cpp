#include "tests/e2e/known_configuration.h"

#include "core/channel_editing.h"
#include "core/quantity_catalogue.h"

namespace quorvex::e2e {

void FillLists(ChannelPanel& panel) {
  for (int n = 1; n <= 8; ++n) {
    FillQuantityList(panel, ComponentName("ComboBox", n));
    FillUnitList(panel, ComponentName("EinheitBox", n));
  }
}

void FillKnownConfiguration(ChannelPanel& panel) {
  struct Row {
    int quantity;  // list position
    int unit;      // 0 "V", 1 "mA"
    const char* offset;
    const char* range;
    const char* measurement;
  };
  static constexpr Row kRows[8] = {
      {0, 0, "0.5", "10", "25"}, {1, 1, "4", "20", "1000"},     {2, 0, "0", "10.2", "1200"},
      {3, 1, "0", "20", "5"},    {4, 0, "2.5", "5", "120"},     {5, 1, "5", "20.4", "20"},
      {6, 0, "1", "10", "50"},   {14, 1, "0.4", "16", "63000"},
  };
  for (int n = 1; n <= 8; ++n) {
    const Row& row = kRows[n - 1];
    panel.SetItemIndex(ComponentName("ComboBox", n), row.quantity);
    panel.SetItemIndex(ComponentName("EinheitBox", n), row.unit);
    panel.SetText(ComponentName("Edit", n), row.offset);
    panel.SetText(ComponentName("BereichEdit", n), row.range);
    panel.SetText(ComponentName("MessEdit", n), row.measurement);
  }
  RefreshAllChannels(panel);
}

}  // namespace quorvex::e2e
