// The debug log window: opened by the first line, emptied at 100 lines.
#include "ui/debug_win.h"

#include <QPlainTextEdit>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>

#include "core/app_context.h"
#include "ui/qt_text.h"

namespace quorvex {

namespace {

// The log starts afresh once it holds this many lines, so a long session cannot grow it without
// bound.
constexpr int kMaxLogLines = 100;

}  // namespace

DebugWin::DebugWin(const AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  // A window of its own even when the main window is its parent.
  setWindowFlags(Qt::Window);
  setObjectName(QStringLiteral("DebugWin"));
  // Lines arrive while the operator works in the main window; opening the log must not take the
  // keyboard away from there.
  setAttribute(Qt::WA_ShowWithoutActivating);
  resize(414, 275);
  move(476, 395);

  memo1_ = new QPlainTextEdit(this);
  memo1_->setObjectName(QStringLiteral("Memo1"));
  memo1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(memo1_);
  ApplyTexts();
}

void DebugWin::ApplyTexts() {
  setWindowTitle(ToQ(ctx_.texts.debugCaption));
  memo1_->setAccessibleName(ToQ(ctx_.texts.debugLog));
}

void DebugWin::AddDebugLine(std::string_view line) {
  if (!ctx_.debugSwitch) {
    return;
  }
  if (!isVisible()) {
    // In the language of the window at the moment the log opens.
    ApplyTexts();
    show();
  }
  // Lines are counted as they are appended, not as the memo wraps them on screen, so the width
  // of the window does not change when the log starts afresh.
  if (appendedLines_ >= kMaxLogLines) {
    ClearLog();
  }
  if (appendedLines_ == 0) {
    memo1_->setPlainText(ToQ(line));
  } else {
    // appendPlainText would merge a line into a log that holds only an empty one, and the write
    // starts its log with an empty line.
    memo1_->moveCursor(QTextCursor::End);
    memo1_->insertPlainText(QLatin1Char('\n') + ToQ(line));
  }
  memo1_->ensureCursorVisible();
  ++appendedLines_;
  // A write runs without the event loop: a log already on the screen shows each line at once.
  if (windowHandle() != nullptr && windowHandle()->isExposed()) memo1_->viewport()->repaint();
}

void DebugWin::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A window restored from the task bar is not a new showing and keeps its log.
  if (!event->spontaneous()) {
    FormShow();
  }
}

void DebugWin::FormShow() {
  ClearLog();
}

void DebugWin::ClearLog() {
  memo1_->clear();
  appendedLines_ = 0;
}

}  // namespace quorvex
