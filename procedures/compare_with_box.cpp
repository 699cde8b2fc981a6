// Compare with box: a read into a scratch panel, then the two panels as the window shows them.
#include "procedures/compare_with_box.h"

#include "core/channel_panel.h"
#include "core/quantity_catalogue.h"
#include "procedures/read_from_box.h"

namespace quorvex {

TransferOutcome ReadCardAside(TransferSeams& s, MemoryPanel& card) {
  FillChannelLists(card);
  TransferSeams aside{card, s.op, s.port, s.clock, s.ctx, s.registerAddress, s.record};
  return EmpfangenClick(aside);
}

CardComparison CompareWithBox(TransferSeams& s) {
  MemoryPanel card;
  CardComparison comparison;
  comparison.outcome = ReadCardAside(s, card);
  if (comparison.outcome == TransferOutcome::Done) {
    comparison.differences =
        CompareConfigurations(ViewConfiguration(s.panel), ViewConfiguration(card));
  }
  return comparison;
}

}  // namespace quorvex
