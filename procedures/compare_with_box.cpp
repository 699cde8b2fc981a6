// Compare with box: the panel's bytes as Write to box would send them, against the card's, read
// into a scratch panel.
#include "procedures/compare_with_box.h"

#include "core/app_context.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "core/operator.h"
#include "core/quantity_catalogue.h"
#include "core/text_set.h"
#include "procedures/channel_check.h"
#include "procedures/read_from_box.h"

namespace quorvex {

TransferOutcome ReadCardAside(TransferSeams& s, MemoryPanel& card) {
  FillChannelLists(card);
  TransferSeams aside{card, s.op, s.port, s.clock, s.ctx, s.registerAddress, s.record};
  return EmpfangenClick(aside);
}

CardComparison CompareWithBox(TransferSeams& s) {
  CardComparison comparison;
  // The card holds the configuration when it holds the bytes Write to box would send; so the
  // same check guards it, and the bytes are made before anything is asked of the card.
  if (!ValidateAllChannels(s.panel, s.op, s.ctx)) {
    comparison.outcome = TransferOutcome::NotValid;
    return comparison;
  }
  const ConfigImage shown = EncodeConfiguration(s.panel);
  RegisterRecord own;
  TransferSeams recorded = s;
  if (recorded.record == nullptr) recorded.record = &own;
  MemoryPanel card;
  comparison.outcome = ReadCardAside(recorded, card);
  if (comparison.outcome == TransferOutcome::Done) {
    comparison.differences = CompareImages(shown, recorded.record->values);
    s.op.ShowStatus(CompareStatusText(comparison.differences.size(), s.ctx.texts));
  }
  return comparison;
}

std::string CompareStatusText(std::size_t differences, const TextSet& t) {
  if (differences == 0) return t.comparedStart + " " + t.comparedEqual;
  return t.comparedStart + " " + std::to_string(differences) + " " +
         (differences == 1 ? t.comparedOneDiffers : t.comparedManyDiffer);
}

}  // namespace quorvex
