// Printing through the system's print dialog, with Qt's print support loaded on first use.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QPaintDevice;
class QWidget;

namespace quorvex {

// Paints the pages onto the printer the operator chose.
using PagePainter = std::function<void(QPaintDevice& printer)>;

// The print module's entry: asks for an A4 printer named `docName` with the print dialog above
// `parent`, then lets `paint` print on it. Returns 1 when printed, 0 when the dialog was left.
using PrintWithDialogEntry = int (*)(QWidget* parent, const QString& docName,
                                     const PagePainter& paint);
inline constexpr const char* kPrintWithDialogSymbol = "QuorvexPrintWithDialog";

// Where Qt is a set of shared libraries (Linux), printing is a module of its own; the two below
// find it.

// The files the print module is looked for in, first found first: the install's library folder
// seen from the program's folder `programDir`, then beside the program (the build tree).
QStringList PrintModuleFiles(const QString& programDir);

// The print module's entry from the first of `files` that loads. Throws std::runtime_error with
// a message for the operator when none does.
PrintWithDialogEntry LoadPrintModule(const QStringList& files);

// Prints through the print dialog; false when the operator left it. Loading the print module,
// and with it Qt's print support, waits for this: most starts never print. Throws as
// LoadPrintModule does.
bool PrintWithDialog(QWidget* parent, const QString& docName, const PagePainter& paint);

}  // namespace quorvex
