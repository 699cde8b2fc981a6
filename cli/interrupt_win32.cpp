// Ctrl+C and console close on Windows, set by the console's handler into one event.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <iostream>
#include <stdexcept>
#include <string>

#include "cli/interrupt.h"

namespace quorvex::cli {

namespace {
// The console calls its control handler on a thread of its own with no context argument, so the
// event it sets has to be reachable from there. It is made once and only ever set.
HANDLE RequestEvent() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

BOOL WINAPI OnControl(DWORD type) {
  if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
    SetEvent(RequestEvent());
    return TRUE;
  }
  return FALSE;
}
}  // namespace

struct InterruptWatch::State {};

InterruptWatch::InterruptWatch() : state_(std::make_unique<State>()) {
  if (RequestEvent() == nullptr || !SetConsoleCtrlHandler(OnControl, TRUE)) {
    throw std::runtime_error("Cannot take over Ctrl+C");
  }
}

InterruptWatch::~InterruptWatch() {
  SetConsoleCtrlHandler(OnControl, FALSE);
}

bool InterruptWatch::WaitFor(int milliseconds) {
  const DWORD wait = milliseconds < 0 ? 0 : static_cast<DWORD>(milliseconds);
  return WaitForSingleObject(RequestEvent(), wait) == WAIT_OBJECT_0;
}

bool InterruptWatch::WaitForEnter() {
  std::string line;
  const bool gotLine = static_cast<bool>(std::getline(std::cin, line));
  return gotLine && !WaitFor(0);
}

}  // namespace quorvex::cli
