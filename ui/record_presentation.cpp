// What the record and the compare box present: the box's wording, the export's name and format.
#include "ui/record_presentation.h"

#include <QFileInfo>

#include "core/config_record.h"
#include "core/config_view.h"
#include "core/operator.h"
#include "core/text_set.h"
#include "ui/qt_text.h"
#include "ui/record_document.h"

namespace quorvex {

namespace {

bool IsCsvName(const QString& path) {
  return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

QString WithPdfExtension(const QString& path) {
  return path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path
                                                                   : path + QLatin1String(".pdf");
}

}  // namespace

std::string CompareBoxLine(const FieldDifference& d, const TextSet& t) {
  return t.channel + " " + std::to_string(d.channel) + ", " + FieldHeader(t, d.field) + ": " +
         t.compareWindow + " " + d.first + ", " + t.compareBox + " " + d.second;
}

std::string CompareBoxText(const std::vector<FieldDifference>& differences, const TextSet& t) {
  if (differences.empty()) return t.compareEqual;
  std::string text = t.compareDifferent;
  for (const FieldDifference& d : differences) text += "\n" + CompareBoxLine(d, t);
  return text;
}

FileDialogRequest ExportQuestion(const TextSet& t, const std::string& rememberedFileName) {
  FileDialogRequest request;
  request.title = t.exportDialogTitle;
  request.filter = t.exportFilter;
  request.defaultExtension = "pdf";
  request.initialName = t.recordFileName;
  const QFileInfo kfg(ToQ(rememberedFileName));
  if (kfg.suffix().compare(QLatin1String("KFG"), Qt::CaseInsensitive) == 0 &&
      QFileInfo(kfg.absolutePath()).isDir()) {
    request.initialFolder = FromQ(kfg.absolutePath());
    request.initialName = FromQ(kfg.completeBaseName() + QLatin1String(".pdf"));
  }
  return request;
}

ExportedRecord ExportRecord(const QString& answer, const ConfigRecord& record, const TextSet& t) {
  if (IsCsvName(answer)) {
    const std::string csv = RecordCsv(record, t);
    return {answer, QByteArray(csv.data(), static_cast<qsizetype>(csv.size()))};
  }
  return {WithPdfExtension(answer), RecordPdf(record, t)};
}

}  // namespace quorvex
