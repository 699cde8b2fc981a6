// Compare with box (Vergleichen): the card read into a panel of its own and its bytes compared,
// register by register, with the bytes Write to box would send for the panel. Wording and showing
// the result is the front end's part.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/config_view.h"
#include "procedures/transfer_seams.h"

namespace quorvex {

class MemoryPanel;
struct TextSet;

struct CardComparison {
  TransferOutcome outcome = TransferOutcome::Failed;
  // Every field whose registers on the card differ from the panel's bytes; empty unless outcome
  // is Done.
  std::vector<FieldDifference> differences;
};

// Reads the card as Read from box does, prompts and closing steps alike, into `card` (its lists
// filled first) instead of the seams' panel: what the panel shows, its units and its remembered
// file stay as they are.
TransferOutcome ReadCardAside(TransferSeams& s, MemoryPanel& card);

// The check as Write to box runs it (NotValid, and nothing asked of the card, when it fails), the
// panel encoded, the card read aside, then CompareImages: the panel's side comes first. The
// card's bytes go into the seams' record when it has one. A comparison made ends with its own
// status (CompareStatusText) in place of the read's, as nothing was loaded.
CardComparison CompareWithBox(TransferSeams& s);

// "Compared with box: equal", "Compared with box: 1 field differs", "... 2 fields differ".
std::string CompareStatusText(std::size_t differences, const TextSet& t);

}  // namespace quorvex
