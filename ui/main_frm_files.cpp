// MainFrm's files loaded by name: the recent files in the File menu, and a configuration file
// dropped on the window.
#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <optional>
#include <string>

#include "procedures/card_session.h"
#include "storage/settings.h"
#include "ui/error_report.h"
#include "ui/main_frm.h"
#include "ui/qt_text.h"
#include "ui/settings_autosave.h"

namespace quorvex {

namespace {

// The one configuration file a drag carries, as a native path; nothing for anything else.
std::optional<std::string> DraggedConfiguration(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  const QFileInfo file(urls.front().toLocalFile());
  if (file.suffix().compare(QLatin1String("KFG"), Qt::CaseInsensitive) != 0) return std::nullopt;
  return FromQ(QDir::toNativeSeparators(file.absoluteFilePath()));
}

// A recent file's menu caption: its access key, then the path with its "&" shown as such.
QString RecentCaption(std::size_t index, const std::string& path) {
  QString shown = ToQ(path);
  shown.replace(QLatin1Char('&'), QLatin1String("&&"));
  return QLatin1Char('&') + QString::number(index + 1) + QLatin1Char(' ') + shown;
}

}  // namespace

void MainFrm::ShowRecentFiles() {
  // Chosen from the menu, an entry is still being delivered when the load it ran changes the list.
  for (QAction* old : recentItems_) {
    datei1_->removeAction(old);
    old->setObjectName(QString());
    old->deleteLater();
  }
  recentItems_.clear();
  for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
    auto* recent = new QAction(RecentCaption(i, recentFiles_[i]), this);
    recent->setObjectName(QStringLiteral("Zuletzt%1").arg(i + 1));
    connect(recent, &QAction::triggered, this,
            [this, path = recentFiles_[i]] { LoadNamedFile(path); });
    recentItems_.push_back(recent);
  }
  if (recentItems_.empty()) return;
  auto* line = new QAction(this);
  line->setSeparator(true);
  line->setObjectName(QStringLiteral("N2"));
  recentItems_.push_back(line);
  for (QAction* recent : recentItems_) {
    recent->setEnabled(fileCommandsEnabled_);
    datei1_->insertAction(beenden1_, recent);
  }
}

void MainFrm::LoadNamedFile(const std::string& path) {
  bool loaded = false;
  RunReported([this, &path, &loaded] {
    session_->LoadFile(rememberedFileName_, path);
    loaded = true;
  });
  if (loaded) {
    MarkChannelsKept();
    AddRecentFile(recentFiles_, path);
  } else {
    RemoveRecentFile(recentFiles_, path);
  }
  ShowRecentFiles();
  autosave_->CommandCompleted();
}

void MainFrm::dragEnterEvent(QDragEnterEvent* event) {
  // Anything else is refused by the drag cursor alone.
  if (!TransferRunning() && DraggedConfiguration(event->mimeData())) {
    event->acceptProposedAction();
  }
}

void MainFrm::dropEvent(QDropEvent* event) {
  const std::optional<std::string> path = DraggedConfiguration(event->mimeData());
  if (TransferRunning() || !path) return;
  event->acceptProposedAction();
  // Loaded once the drop is over: the file manager waits for the drop, not for a box.
  QTimer::singleShot(0, this, [this, file = *path] {
    if (!TransferRunning()) LoadNamedFile(file);
  });
}

}  // namespace quorvex
