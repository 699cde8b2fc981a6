// The configuration record as a one-page A4 PDF or on a printer.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPaintDevice;

namespace quorvex {

struct ConfigRecord;
struct TextSet;

// An A4 PDF made in memory with the record's margins, titled and credited, painted by `paint`.
QByteArray A4Pdf(const QString& title, const QString& creator,
                 const std::function<void(QPagedPaintDevice& device)>& paint);

// The record as a one-page A4 PDF, black on white, made in memory so that the file can be
// written in one piece.
QByteArray RecordPdf(const ConfigRecord& record, const TextSet& texts);

// Prints the record on the printer the operator chose (a PDF file when so chosen there). Throws
// when the printer cannot be started.
void PrintRecord(QPaintDevice& printer, const ConfigRecord& record, const TextSet& texts);

}  // namespace quorvex
