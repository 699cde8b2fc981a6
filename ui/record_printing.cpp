// Printing through the system's print dialog, with Qt's print support loaded on first use.
#include "ui/record_printing.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <stdexcept>
#include <string>

#include "ui/qt_text.h"

#ifdef QUORVEX_PRINT_BUILT_IN
// In the program itself (ui/print/print.cmake says when).
extern "C" int QuorvexPrintWithDialog(QWidget* parent, const QString& docName,
                                      const quorvex::PagePainter& paint);
#endif

namespace quorvex {

#ifdef QUORVEX_PRINT_BUILT_IN

bool PrintWithDialog(QWidget* parent, const QString& docName, const PagePainter& paint) {
  return QuorvexPrintWithDialog(parent, docName, paint) != 0;
}

#else

QStringList PrintModuleFiles(const QString& programDir) {
  const QDir dir(programDir);
  return {QDir::cleanPath(dir.filePath(
              QStringLiteral(QUORVEX_PRINT_MODULE_RELATIVE_DIR "/" QUORVEX_PRINT_MODULE_FILE))),
          dir.filePath(QStringLiteral(QUORVEX_PRINT_MODULE_FILE))};
}

PrintWithDialogEntry LoadPrintModule(const QStringList& files) {
  QString why = QStringLiteral(QUORVEX_PRINT_MODULE_FILE " not found");
  for (const QString& file : files) {
    if (!QFile::exists(file)) continue;
    // Never unloaded: a second print finds it loaded.
    QLibrary module(file);
    if (auto entry =
            reinterpret_cast<PrintWithDialogEntry>(module.resolve(kPrintWithDialogSymbol))) {
      return entry;
    }
    why = module.errorString();
  }
  throw std::runtime_error("Printing is not available: " + FromQ(why));
}

bool PrintWithDialog(QWidget* parent, const QString& docName, const PagePainter& paint) {
  const PrintWithDialogEntry print =
      LoadPrintModule(PrintModuleFiles(QCoreApplication::applicationDirPath()));
  return print(parent, docName, paint) != 0;
}

#endif

}  // namespace quorvex
