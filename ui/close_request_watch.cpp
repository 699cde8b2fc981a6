// Keeps the window system's close request that Qt would drop while a transfer blocks the window.
#include "ui/close_request_watch.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <utility>

#ifdef QUORVEX_HAVE_XCB
#include <xcb/xcb.h>
#endif
#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace quorvex {

namespace {

#ifdef QUORVEX_HAVE_XCB
std::uint32_t InternAtom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (reply == nullptr) return 0;
  const std::uint32_t atom = reply->atom;
  std::free(reply);
  return atom;
}
#endif

}  // namespace

CloseRequestWatch::CloseRequestWatch(QWidget& window, std::function<bool()> take)
    : window_(window), take_(std::move(take)) {
#ifdef QUORVEX_HAVE_XCB
  // The interface is there whatever the platform; only on X11 does it have a connection.
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr) {
    protocolsAtom_ = InternAtom(connection, "WM_PROTOCOLS");
    deleteWindowAtom_ = InternAtom(connection, "WM_DELETE_WINDOW");
  }
#endif
  QCoreApplication::instance()->installNativeEventFilter(this);
}

CloseRequestWatch::~CloseRequestWatch() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

bool CloseRequestWatch::nativeEventFilter(const QByteArray& eventType, void* message,
                                          qintptr* result) {
  if (!IsCloseRequest(eventType, message) || !take_()) return false;
  if (result != nullptr) *result = 0;
  return true;
}

bool CloseRequestWatch::IsCloseRequest(const QByteArray& eventType, void* message) const {
  const WId window = window_.internalWinId();
  if (window == 0) return false;
#ifdef QUORVEX_HAVE_XCB
  if (eventType == "xcb_generic_event_t" && deleteWindowAtom_ != 0) {
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    return client->window == window && client->format == 32 && client->type == protocolsAtom_ &&
           client->data.data32[0] == deleteWindowAtom_;
  }
#endif
#ifdef Q_OS_WIN
  if (eventType == "windows_generic_MSG") {
    const auto* msg = static_cast<const MSG*>(message);
    return msg->message == WM_CLOSE && reinterpret_cast<WId>(msg->hwnd) == window;
  }
#endif
  (void)eventType;
  (void)message;
  return false;
}

}  // namespace quorvex
