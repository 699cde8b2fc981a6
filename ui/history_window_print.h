// A card's history on paper or as a PDF: its records, each with what changed, in the layout of
// the configuration record.
#pragma once

#include <QByteArray>
#include <string>
#include <vector>

#include "storage/history.h"

class QPagedPaintDevice;

namespace quorvex {

struct HistoryTexts;
struct TextSet;

// The records of the card `record` was made with: those of its current tag when it has one,
// else those of its device, else of its port; newest first.
std::vector<HistoryRecord> CardRecords(const History& history, const HistoryRecord& record);

// Lays the records out page after page on `device`, each with its changes against the card's
// record before it. Throws when the device cannot be painted on.
void PaintHistory(QPagedPaintDevice& device, const History& history,
                  const std::vector<HistoryRecord>& records, const TextSet& t,
                  const HistoryTexts& h);

// The same as an A4 PDF made in memory.
QByteArray HistoryPdf(const History& history, const std::vector<HistoryRecord>& records,
                      const TextSet& t, const HistoryTexts& h);

}  // namespace quorvex
