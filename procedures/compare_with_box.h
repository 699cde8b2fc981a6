// Compare with box (Vergleichen): the card read into a panel of its own and compared, field by
// field, with what the panel shows. Wording and showing the result is the front end's part.
#pragma once

#include <vector>

#include "core/config_view.h"
#include "procedures/transfer_seams.h"

namespace quorvex {

class MemoryPanel;

struct CardComparison {
  TransferOutcome outcome = TransferOutcome::Failed;
  // Every field the card shows otherwise than the panel; empty unless outcome is Done.
  std::vector<FieldDifference> differences;
};

// Reads the card as Read from box does, prompts and closing steps alike, into `card` (its lists
// filled first) instead of the seams' panel: what the panel shows, its units and its remembered
// file stay as they are.
TransferOutcome ReadCardAside(TransferSeams& s, MemoryPanel& card);

// The card read aside, then compared with the seams' panel: the panel's side comes first.
CardComparison CompareWithBox(TransferSeams& s);

}  // namespace quorvex
