// A card's history printed, or made a PDF.
#include "ui/history_window_print.h"

#include <QPagedPaintDevice>
#include <QTextDocument>
#include <stdexcept>

#include "core/config_record.h"
#include "core/text_set.h"
#include "ui/history_recording.h"
#include "ui/history_texts.h"
#include "ui/history_window.h"
#include "ui/history_window_details.h"
#include "ui/qt_text.h"
#include "ui/record_document.h"
#include "ui/record_printing.h"

namespace quorvex {

std::vector<HistoryRecord> CardRecords(const History& history, const HistoryRecord& record) {
  HistoryQuery query;
  if (!record.currentTag.empty()) {
    query.tag = record.currentTag;
  } else {
    query.port = record.device.empty() ? record.port : record.device;
  }
  return history.Find(query);
}

void PaintHistory(QPagedPaintDevice& device, const History& history,
                  const std::vector<HistoryRecord>& records, const TextSet& t,
                  const HistoryTexts& h) {
  QString html;
  for (const HistoryRecord& record : records) {
    html += HistoryRecordHtml(record, history.PreviousOfSameCard(record), t, h);
    html += QStringLiteral("<hr/>");
  }
  QTextDocument document;
  // As the configuration record is set: black on white, no ligatures, so the PDF's text reads
  // back as it was written.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(9);
  font.setStyleStrategy(QFont::PreferNoShaping);
  document.setDefaultFont(font);
  document.setHtml(html);
  document.print(&device);
}

QByteArray HistoryPdf(const History& history, const std::vector<HistoryRecord>& records,
                      const TextSet& t, const HistoryTexts& h) {
  return A4Pdf(ToQ(h.windowTitle), ToQ(ProgramNameAndVersion()),
               [&](QPagedPaintDevice& device) { PaintHistory(device, history, records, t, h); });
}

void HistoryWindow::PrintHistory() {
  const std::optional<HistoryRecord> record = Selected();
  if (!record) return;
  std::string notice;
  const History& history = history_.Open(notice);
  const std::vector<HistoryRecord> records = CardRecords(history, *record);
  PrintWithDialog(this, ToQ(Texts().windowTitle), [&](QPaintDevice& printer) {
    auto* paged = dynamic_cast<QPagedPaintDevice*>(&printer);
    if (paged == nullptr) throw std::runtime_error(main_.Texts().printStartFailed);
    PaintHistory(*paged, history, records, main_.Texts(), Texts());
  });
}

}  // namespace quorvex
