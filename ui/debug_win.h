// DebugWin, the debug log window the DEBUG switch lets lines into.
#pragma once

#include <QWidget>
#include <string_view>

class QPlainTextEdit;

namespace quorvex {

struct AppContext;

// The debug log window "DebugWin": hidden unless the debug switch is set, opened by the first
// line, emptied whenever it becomes visible and when it already holds 100 lines.
class DebugWin : public QWidget {
  Q_OBJECT
 public:
  explicit DebugWin(const AppContext& ctx, QWidget* parent = nullptr);

  void AddDebugLine(std::string_view line);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyTexts();
  void FormShow();
  void ClearLog();

  const AppContext& ctx_;
  QPlainTextEdit* memo1_ = nullptr;
  int appendedLines_ = 0;  // lines appended since the memo was last emptied
};

}  // namespace quorvex
