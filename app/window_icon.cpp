// The program's icon on its windows, and pictures of the style read when first drawn.
#include "app/window_icon.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPixmap>
#include <QPointer>
#include <QStyleOption>
#include <functional>
#include <optional>
#include <utility>

namespace quorvex {

namespace {

// Makes its icon at the first question that needs the picture, then answers as that icon.
class DeferredIconEngine final : public QIconEngine {
 public:
  explicit DeferredIconEngine(std::function<QIcon()> make) : make_(std::move(make)) {}

  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }
  QString key() const override { return QStringLiteral("QuorvexDeferredIcon"); }
  // The picture is one of the program's own resources or of Qt's.
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
    if (!icon_) icon_ = make_();
    return *icon_;
  }

  std::function<QIcon()> make_;
  std::optional<QIcon> icon_;
};

}  // namespace

QIcon WindowIcon() {
  return DeferredIcon(QStringLiteral(":/quorvex/quorvex-256.png"));
}

QIcon DeferredIcon(const QString& path) {
  return QIcon(new DeferredIconEngine([path] { return QIcon(path); }));
}

QIcon DeferredExtensionIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                               const QWidget* widget) const {
  if (which != SP_ToolBarHorizontalExtensionButton && which != SP_ToolBarVerticalExtensionButton) {
    return QProxyStyle::standardIcon(which, option, widget);
  }
  // The picture depends on the writing direction only; the widget may be gone when it is drawn.
  QStyleOption direction;
  direction.direction = option ? option->direction : QGuiApplication::layoutDirection();
  return QIcon(new DeferredIconEngine([base = QPointer<QStyle>(baseStyle()), which, direction] {
    return base ? base->standardIcon(which, &direction, nullptr) : QIcon();
  }));
}

}  // namespace quorvex
