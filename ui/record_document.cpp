// The configuration record as a one-page A4 PDF or on a printer.
#include "ui/record_document.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <stdexcept>

#include "core/config_record.h"
#include "core/text_set.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

QString Escaped(const std::string& text) {
  return ToQ(text).toHtmlEscaped();
}

QString RecordHtml(const ConfigRecord& record, const TextSet& texts) {
  // Black lines and text only: the record is filed from whatever printer is at hand.
  QString html = QStringLiteral("<h2>%1</h2><table cellspacing=\"0\" cellpadding=\"2\">")
                     .arg(Escaped(texts.recordTitle));
  for (const auto& [label, value] : RecordFacts(record, texts)) {
    html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                .arg(Escaped(label), Escaped(value));
  }
  html += QStringLiteral(
      "</table><p></p><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
      "style=\"border-collapse: collapse; border-color: black;\">");
  bool header = true;
  for (const RecordRow& row : RecordTable(record, texts)) {
    html += QStringLiteral("<tr>");
    for (const std::string& cell : row) {
      // A header wrapped onto two lines would read as two words in a PDF's text.
      html += header
                  ? QStringLiteral("<th style=\"white-space: nowrap;\">%1</th>").arg(Escaped(cell))
                  : QStringLiteral("<td>%1</td>").arg(Escaped(cell));
    }
    html += QStringLiteral("</tr>");
    header = false;
  }
  html += QStringLiteral(
              "</table><p><b>%1</b><br/><span style=\"font-family: monospace;\">%2</span></p>")
              .arg(Escaped(texts.recordImage), Escaped(ImageHex(record.image)));
  return html;
}

void PaintRecord(QPaintDevice& device, const ConfigRecord& record, const TextSet& texts) {
  QPainter painter;
  if (!painter.begin(&device)) throw std::runtime_error(texts.printStartFailed);
  QTextDocument document;
  // Laid out at the device's resolution, so point sizes are points on paper.
  document.documentLayout()->setPaintDevice(&device);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(9);
  // No ligatures: "fi" and "ff" as one glyph would come out of the PDF as one odd character when
  // its text is copied or searched.
  font.setStyleStrategy(QFont::PreferNoShaping);
  document.setDefaultFont(font);
  document.setDocumentMargin(0);
  document.setTextWidth(device.width());
  document.setHtml(RecordHtml(record, texts));
  document.drawContents(&painter, QRectF(0, 0, device.width(), device.height()));
  painter.end();
}

}  // namespace

QByteArray A4Pdf(const QString& title, const QString& creator,
                 const std::function<void(QPagedPaintDevice& device)>& paint) {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setTitle(title);
    writer.setCreator(creator);
    paint(writer);
  }
  return bytes;
}

QByteArray RecordPdf(const ConfigRecord& record, const TextSet& texts) {
  return A4Pdf(ToQ(texts.recordTitle), ToQ(record.program),
               [&](QPagedPaintDevice& device) { PaintRecord(device, record, texts); });
}

void PrintRecord(QPaintDevice& printer, const ConfigRecord& record, const TextSet& texts) {
  PaintRecord(printer, record, texts);
}

}  // namespace quorvex
