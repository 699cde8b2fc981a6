// What the record and the compare box present: the box's wording, the export's name and format.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace quorvex {

struct ConfigRecord;
struct FieldDifference;
struct FileDialogRequest;
struct TextSet;

// The compare box's line for one differing field: "Channel 1, Offset: window 1.5 V, box 1.55 V".
std::string CompareBoxLine(const FieldDifference& difference, const TextSet& t);
// The compare box: either the one sentence, or a line per differing field.
std::string CompareBoxText(const std::vector<FieldDifference>& differences, const TextSet& t);

// The export's save question; offered beside the configuration file `rememberedFileName` and
// named after it, when there is one.
FileDialogRequest ExportQuestion(const TextSet& t, const std::string& rememberedFileName);

// What an export writes, and where.
struct ExportedRecord {
  QString path;
  QByteArray bytes;
};

// The record in the format that the name `answer` asks for: a CSV table for a ".csv" name, a
// PDF for every other. A name without ".pdf" gets it, so the file opens as what it holds.
ExportedRecord ExportRecord(const QString& answer, const ConfigRecord& record, const TextSet& t);

}  // namespace quorvex
