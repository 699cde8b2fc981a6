// The configuration record as a one-page A4 PDF or on a printer.
#pragma once

#include <QByteArray>

class QPaintDevice;

namespace quorvex {

struct ConfigRecord;
struct TextSet;

// The record as a one-page A4 PDF, black on white, made in memory so that the file can be
// written in one piece.
QByteArray RecordPdf(const ConfigRecord& record, const TextSet& texts);

// Prints the record on the printer the operator chose (a PDF file when so chosen there). Throws
// when the printer cannot be started.
void PrintRecord(QPaintDevice& printer, const ConfigRecord& record, const TextSet& texts);

}  // namespace quorvex
