// The process-wide state (COM port, debug switch, texts, checked channel), one per program.
#pragma once

#include "core/text_set.h"

namespace quorvex {

inline constexpr const char* kApplicationTitle = "Quorvex";

// The process-wide state, created once in main() and handed down by reference.
struct AppContext {
  int comPortNumber = -1;    // COM n used by the transfers; 0 means none chosen
  bool debugSwitch = false;  // set by the command-line argument "DEBUG"
  TextSet texts;             // empty until the window applies its language
  int errorChannel = 0;      // channel being checked, read by the error box
};

}  // namespace quorvex
