// Asks an X11 window to close the way a window manager's close button does: a WM_PROTOCOLS
// client message carrying WM_DELETE_WINDOW. xdotool's windowclose destroys the window instead,
// which is not what a user's close does.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
    return 2;
  }
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "cannot connect to the X server\n");
    return 1;
  }
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  event.type = Atom(connection, "WM_PROTOCOLS");
  event.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
  event.data.data32[1] = XCB_CURRENT_TIME;
  xcb_void_cookie_t cookie = xcb_send_event_checked(
      connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_generic_error_t* error = xcb_request_check(connection, cookie);
  const int code = error == nullptr ? 0 : 1;
  if (error != nullptr) std::fprintf(stderr, "X error %d\n", error->error_code);
  std::free(error);
  xcb_disconnect(connection);
  return code;
}
