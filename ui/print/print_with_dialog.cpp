// The print module: the print dialog and the printer, the only users of Qt's print support, in a
// library of their own that the program loads when the operator first prints.
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <type_traits>

#include "ui/record_printing.h"

extern "C" Q_DECL_EXPORT int QuorvexPrintWithDialog(QWidget* parent, const QString& docName,
                                                    const quorvex::PagePainter& paint) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setDocName(docName);
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted) return 0;
  paint(printer);
  return 1;
}

// The program and the module agree on the entry's type through the header.
static_assert(std::is_same_v<decltype(&QuorvexPrintWithDialog), quorvex::PrintWithDialogEntry>);
