// Letter case of a to z only, so names compare alike whatever the locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

// Letter case of a to z only, whatever the locale: the names and switch words compared here are
// plain ASCII, and the other bytes of a file name in the 8-bit code page must stay as they are.

inline char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string AsciiUpper(std::string text) {
  for (char& c : text) c = AsciiUpper(c);
  return text;
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace quorvex
