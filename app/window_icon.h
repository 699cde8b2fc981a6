// The program's icon on its windows, and pictures of the style read when first drawn.
#pragma once

#include <QIcon>
#include <QProxyStyle>

namespace quorvex {

// The icon every window of the program shows. Its picture is read when the window system first
// asks for it, when it makes a window, not when the icon is set: where none asks (the offscreen
// platform), the picture is never decoded.
QIcon WindowIcon();

// The icon of the picture file at `path`, read at the first question that needs the picture.
QIcon DeferredIcon(const QString& path);

// The platform's style, except that the overflow button of a menu bar or tool bar reads its
// picture when it is first drawn: that button is made with every menu bar, and the first picture
// Qt reads by file name makes it load every image format plug-in with its libraries, to ask each
// whether it reads PNG (none does: Qt reads PNG itself).
class DeferredExtensionIconStyle : public QProxyStyle {
 public:
  QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                     const QWidget* widget) const override;
};

}  // namespace quorvex
