// The operator seam on Qt: status bar, message boxes, wait cursor, file dialogs, debug log.
#include "ui/qt_operator.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QWindow>

#include "ui/accessible_names.h"
#include "ui/debug_win.h"
#include "ui/qt_text.h"

namespace quorvex {

QStringList QtNameFilters(std::string_view filter) {
  const QStringList parts = ToQ(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // Qt reads the patterns from the parentheses; a description that already shows them is
    // taken as it is, so the operator does not see them twice.
    if (description.trimmed().endsWith(QLatin1Char('(') + patterns + QLatin1Char(')'))) {
      filters << description;
    } else {
      filters << description + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
  }
  return filters;
}

QtOperator::~QtOperator() {
  // A transfer torn down half-way must not leave the application with a wait cursor.
  while (waitCursors_ > 0) SetWaitCursor(false);
}

void QtOperator::SetStatusPanel(QLabel* panel) {
  statusPanel_ = panel;
}

void QtOperator::SetDebugWin(std::function<DebugWin&()> debugWin) {
  debugWin_ = std::move(debugWin);
}

void QtOperator::ShowStatus(std::string_view text) {
  if (!statusPanel_) return;
  statusPanel_->setText(ToQ(text));
  AnnounceStatus(*statusPanel_);
  // A transfer keeps the event loop busy for seconds; the text must be on the screen now.
  if (statusPanel_->isVisible()) statusPanel_->repaint();
}

void QtOperator::MessageBox(std::string_view caption, std::string_view text, BoxIcon icon) {
  QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
  switch (icon) {
    case BoxIcon::Error:
      qtIcon = QMessageBox::Critical;
      break;
    case BoxIcon::Information:
      qtIcon = QMessageBox::Information;
      break;
    case BoxIcon::None:
      break;
  }
  // No owner: the box belongs to no window, as the transfers' prompts always did.
  QMessageBox box(qtIcon, ToQ(caption), ToQ(text), QMessageBox::Ok);
  box.exec();
  // A transfer goes on without the event loop once the box is closed; the windows it covered
  // would show its picture until the transfer ends.
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->windowHandle() != nullptr &&
        window->windowHandle()->isExposed()) {
      window->repaint();
    }
  }
}

void QtOperator::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++waitCursors_;
  } else if (waitCursors_ > 0) {
    QApplication::restoreOverrideCursor();
    --waitCursors_;
  }
}

void QtOperator::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

void QtOperator::AddDebugLine(std::string_view line) {
  if (debugWin_) debugWin_().AddDebugLine(line);
}

std::optional<std::string> QtOperator::AskOpenFileName(const FileDialogRequest& request) {
  return AskFileName(request, false, openPlace_);
}

std::optional<std::string> QtOperator::AskSaveFileName(const FileDialogRequest& request) {
  return AskFileName(request, true, savePlace_);
}

std::optional<std::string> QtOperator::AskFileName(const FileDialogRequest& request, bool save,
                                                   DialogPlace& place) {
  QFileDialog dialog(nullptr, ToQ(request.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // A name that does not exist is accepted for opening too; the load then reports it.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setNameFilters(QtNameFilters(request.filter));
  dialog.setDefaultSuffix(ToQ(request.defaultExtension));

  const bool fromRequest = !request.initialFolder.empty() || !request.initialName.empty();
  const QString folder = fromRequest ? ToQ(request.initialFolder) : place.folder;
  const QString name = fromRequest ? ToQ(request.initialName) : place.name;
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  if (!name.isEmpty()) dialog.selectFile(name);

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;

  const QFileInfo info(chosen.first());
  place.folder = info.absolutePath();
  place.name = info.fileName();
  return FromQ(QDir::toNativeSeparators(info.absoluteFilePath()));
}

}  // namespace quorvex
