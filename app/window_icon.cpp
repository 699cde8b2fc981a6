// The program's icon on its windows.
#include "app/window_icon.h"

#include <QIconEngine>
#include <QPixmap>
#include <utility>

namespace quorvex {

namespace {

// Reads its picture at the first question that needs it, then answers as an icon made from it.
class DeferredIconEngine final : public QIconEngine {
 public:
  explicit DeferredIconEngine(QString path) : path_(std::move(path)) {}

  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
  QString key() const override { return QStringLiteral("QuorvexDeferredIcon"); }
  // The picture is one of the program's own resources.
  bool isNull() override { return false; }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Loaded().actualSize(size, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Loaded().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    return Loaded().pixmap(size, scale, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Loaded().availableSizes(mode, state);
  }

 private:
  DeferredIconEngine(const DeferredIconEngine&) = default;

  const QIcon& Loaded() {
    if (icon_.isNull()) icon_ = QIcon(path_);
    return icon_;
  }

  QString path_;
  QIcon icon_;
};

}  // namespace

QIcon WindowIcon() {
  return DeferredIcon(QStringLiteral(":/quorvex/quorvex-256.png"));
}

QIcon DeferredIcon(const QString& path) {
  return QIcon(new DeferredIconEngine(path));
}

}  // namespace quorvex
