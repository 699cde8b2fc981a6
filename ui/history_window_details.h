// A history record presented: the configuration channel by channel as the configuration record
// lays it out, each field changed since the same card's previous record marked "before → after".
#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "core/config_record.h"
#include "storage/history.h"

namespace quorvex {

struct HistoryTexts;
struct TextSet;

// The configuration record's channel table of `image`, with every field that differs from
// `before` given as "before → after". Without `before` the table is the record's own.
std::vector<RecordRow> ChangedTable(const ConfigImage& image,
                                    const std::optional<ConfigImage>& before, const TextSet& t);

// The line under the table: which earlier record the marks compare with, or that nothing earlier
// is known of the card.
std::string ChangesLine(const std::optional<HistoryRecord>& previous,
                        const std::optional<ConfigImage>& after, const HistoryTexts& h);

// The record as HTML, for the window's details and the printed history: its facts, the table
// above (or that the card's bytes are not known) and the changes line.
QString HistoryRecordHtml(const HistoryRecord& record, const std::optional<HistoryRecord>& previous,
                          const TextSet& t, const HistoryTexts& h);

}  // namespace quorvex
