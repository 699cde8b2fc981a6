// The operator at the bench through real boxes, dialogs and the status bar.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/operator.h"

class QLabel;

namespace quorvex {

class DebugWin;

// The filter of a file dialog request ("Configuration (*.KFG)|*.KFG", pairs of description and
// pattern separated by "|") in the form QFileDialog takes: "Configuration (*.KFG)".
QStringList QtNameFilters(std::string_view filter);

// The operator at the bench, reached through real boxes, dialogs and the status bar. Parts of the
// window are attached once they exist, since the operator is made before the windows.
class QtOperator : public Operator {
 public:
  QtOperator() = default;
  ~QtOperator() override;
  QtOperator(const QtOperator&) = delete;
  QtOperator& operator=(const QtOperator&) = delete;

  void SetStatusPanel(QLabel* panel);
  // The debug log window, asked for at the first line: the window is made only then.
  void SetDebugWin(std::function<DebugWin&()> debugWin);

  void ShowStatus(std::string_view text) override;
  void MessageBox(std::string_view caption, std::string_view text, BoxIcon icon) override;
  void SetWaitCursor(bool on) override;
  void ProcessPendingEvents() override;
  void AddDebugLine(std::string_view line) override;
  std::optional<std::string> AskOpenFileName(const FileDialogRequest& request) override;
  std::optional<std::string> AskSaveFileName(const FileDialogRequest& request) override;

 private:
  // Where a file dialog was left, for its next use in this run.
  struct DialogPlace {
    QString folder;
    QString name;
  };

  std::optional<std::string> AskFileName(const FileDialogRequest& request, bool save,
                                         DialogPlace& place);

  QPointer<QLabel> statusPanel_;
  std::function<DebugWin&()> debugWin_;
  int waitCursors_ = 0;
  // The open and the save dialog are two dialogs, each starting where it was left itself.
  DialogPlace openPlace_;
  DialogPlace savePlace_;
};

}  // namespace quorvex
