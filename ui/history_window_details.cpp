// A history record presented with its changes.
#include "ui/history_window_details.h"

#include "core/config_view.h"
#include "core/text_set.h"
#include "ui/history_texts.h"
#include "ui/history_window_model.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

QString Escaped(const std::string& text) {
  return ToQ(text).toHtmlEscaped();
}

constexpr const char* kArrow = " \u2192 ";

}  // namespace

std::vector<RecordRow> ChangedTable(const ConfigImage& image,
                                    const std::optional<ConfigImage>& before, const TextSet& t) {
  ConfigRecord shown;
  shown.channels = ViewImage(image);
  shown.image = image;
  std::vector<RecordRow> table = RecordTable(shown, t);
  if (!before) return table;
  // The compare's own words for each field, so a value the window's format would round shows
  // with the digits its byte holds.
  for (const FieldDifference& d : CompareImages(*before, image)) {
    const auto column = static_cast<std::size_t>(d.field) + 1;
    table[static_cast<std::size_t>(d.channel)][column] = d.first + kArrow + d.second;
  }
  return table;
}

std::string ChangesLine(const std::optional<HistoryRecord>& previous,
                        const std::optional<ConfigImage>& after, const HistoryTexts& h) {
  if (!previous || !previous->image) return h.nothingEarlier;
  const bool changed = after && *after != *previous->image;
  return (changed ? h.changedSince : h.unchangedSince) + " " + std::to_string(previous->id) + " (" +
         previous->timeUtc + ")";
}

QString HistoryRecordHtml(const HistoryRecord& record, const std::optional<HistoryRecord>& previous,
                          const TextSet& t, const HistoryTexts& h) {
  const std::pair<std::string, std::string> facts[] = {
      {h.timeColumn, record.timeUtc},
      {h.tagColumn, record.currentTag.empty() ? record.tag : record.currentTag},
      {h.portColumn, PortAndDevice(record)},
      {h.actionColumn, ActionText(h, record.action)},
      {h.outcomeColumn,
       record.message.empty() ? record.outcome : record.outcome + ": " + record.message},
      {h.userColumn, record.host.empty() ? record.user : record.user + " @ " + record.host},
      {h.fileColumn, record.fileSha256.empty()
                         ? record.file
                         : record.file + " (SHA-256 " + record.fileSha256 + ")"},
      {t.recordProgram, record.program},
  };
  QString html = QStringLiteral("<h3>%1 %2</h3><table cellspacing=\"0\" cellpadding=\"2\">")
                     .arg(Escaped(h.windowTitle))
                     .arg(record.id);
  for (const auto& [label, value] : facts) {
    if (value.empty()) continue;
    html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                .arg(Escaped(label), Escaped(value));
  }
  html += QStringLiteral("</table>");
  for (const std::string& difference : record.differences) {
    html += QStringLiteral("<p>%1</p>").arg(Escaped(difference));
  }
  if (!record.image) {
    html += QStringLiteral("<p>%1</p>").arg(Escaped(h.noImage));
    return html;
  }
  const std::optional<ConfigImage> before =
      previous && previous->image ? previous->image : std::nullopt;
  html += QStringLiteral(
      "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
      "style=\"border-collapse: collapse; border-color: black;\">");
  bool header = true;
  for (const RecordRow& row : ChangedTable(*record.image, before, t)) {
    html += QStringLiteral("<tr>");
    for (const std::string& cell : row) {
      const bool changed = !header && cell.find(kArrow) != std::string::npos;
      html += header    ? QStringLiteral("<th>%1</th>").arg(Escaped(cell))
              : changed ? QStringLiteral("<td style=\"white-space: nowrap;\"><b>%1</b></td>")
                              .arg(Escaped(cell))
                        : QStringLiteral("<td>%1</td>").arg(Escaped(cell));
    }
    html += QStringLiteral("</tr>");
    header = false;
  }
  html +=
      QStringLiteral("</table><p>%1</p><p><span style=\"font-family: monospace;\">%2</span></p>")
          .arg(Escaped(ChangesLine(previous, record.image, h)), Escaped(ImageHex(*record.image)));
  return html;
}

}  // namespace quorvex
