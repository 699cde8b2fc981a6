// MainFrm's channel editing: the lists' and fields' handlers, the key filter and focus moves.
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <optional>

#include "core/app_context.h"
#include "core/channel_editing.h"
#include "core/channel_panel.h"
#include "core/config_image.h"
#include "procedures/channel_check.h"
#include "ui/error_report.h"
#include "ui/main_frm.h"
#include "ui/qt_channel_panel.h"
#include "ui/qt_text.h"
#include "ui/settings_autosave.h"

namespace quorvex {

namespace {

// Focus that moves because another window or a menu comes up does not enter or leave a field.
bool ChangesControl(Qt::FocusReason reason) {
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
         reason != Qt::MenuBarFocusReason;
}

}  // namespace

void MainFrm::ConnectHandlers() {
  QWidget* grid = centralWidget();
  for (int n = 1; n <= kChannelCount; ++n) {
    auto* quantity = grid->findChild<QComboBox*>(ToQ(ComponentName("ComboBox", n)));
    // The panel changes selections with signals blocked, so this fires for the operator only.
    connect(quantity, &QComboBox::currentIndexChanged, this, [this, quantity] {
      RunReported([this, quantity] {
        ComboBoxChange(*panel_, ChannelFromLastCharacter(FromQ(quantity->objectName())));
      });
      autosave_->Changed();
    });
    auto* unit = grid->findChild<QComboBox*>(ToQ(ComponentName("EinheitBox", n)));
    connect(unit, &QComboBox::currentIndexChanged, this, [this] {
      // Only the box matters: the operator sees at once what the new unit breaks.
      RunReported([this] { ValidateAllChannels(*panel_, op_, ctx_); });
      autosave_->Changed();
    });
  }
  comboBox1_->installEventFilter(this);
  for (QLineEdit* field : editFields_) {
    field->installEventFilter(this);
    // The panel's own writes are silent, so this is the operator typing.
    connect(field, &QLineEdit::textChanged, this, [this] { autosave_->Changed(); });
  }
}

bool MainFrm::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (field && std::find(editFields_.begin(), editFields_.end(), field) != editFields_.end()) {
    switch (event->type()) {
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        if (ChangesControl(static_cast<QFocusEvent*>(event)->reason())) EditExit(*field);
        break;
      case QEvent::KeyPress: {
        const auto& key = *static_cast<QKeyEvent*>(event);
        Edit1KeyDown(key);
        return EditKeyPress(*field, key);
      }
      default:
        break;
    }
  } else if (watched == comboBox1_ && event->type() == QEvent::KeyPress) {
    return EditKeyPress(*comboBox1_, *static_cast<QKeyEvent*>(event));
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainFrm::EditExit(const QWidget& sender) {
  RunReported([&] { FormatChannel(*panel_, ChannelFromDigits(FromQ(sender.objectName()))); });
  // The re-formatted text is what the exit would store; a focus move that changed nothing
  // writes nothing.
  autosave_->Changed();
}

void MainFrm::Edit1KeyDown(const QKeyEvent& key) {
  // The key goes on to the field as well; a one-line field does nothing with it.
  if (key.key() == Qt::Key_Down) {
    focusNextPrevChild(true);
  } else if (key.key() == Qt::Key_Up) {
    focusNextPrevChild(false);
  }
}

bool MainFrm::EditKeyPress(QWidget& sender, const QKeyEvent& key) {
  const QString text = key.text();
  if (text.isEmpty()) return false;  // no character: arrows, Home, function keys
  if (text.size() != 1) return true;
  const char16_t c = text.front().unicode();
  if (c == 0x7f) return false;  // the Delete key edits; it types nothing
  if (c > 0x7f) return true;
  const char typed = static_cast<char>(c);
  if (typed == '\r') focusNextPrevChild(true);
  const std::optional<char> passed = FilterKeyChar(typed);
  if (!passed) return true;
  if (*passed != typed) {
    QKeyEvent replaced(QEvent::KeyPress, Qt::Key_Period, key.modifiers(),
                       QString(QLatin1Char(*passed)));
    QCoreApplication::sendEvent(&sender, &replaced);
    return true;
  }
  return false;
}

}  // namespace quorvex
