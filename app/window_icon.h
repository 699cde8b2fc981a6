// The program's icon on its windows.
#pragma once

#include <QIcon>

namespace quorvex {

// The icon every window of the program shows. Its picture is read when the window system first
// asks for it, when it makes a window, not when the icon is set: where none asks (the offscreen
// platform), the picture is never decoded.
QIcon WindowIcon();

// The icon of the picture file at `path`, read at the first question that needs the picture.
QIcon DeferredIcon(const QString& path);

}  // namespace quorvex
