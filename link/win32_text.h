// Windows' wide-character text as the program's UTF-8, and the system's messages in it: the
// narrow calls speak the ANSI code page, which is not UTF-8 on most machines.
#pragma once

#ifdef _WIN32

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvex {

std::string Utf8FromWide(const wchar_t* text, std::size_t length);
std::wstring WideFromUtf8(std::string_view text);

// FormatMessageW's text for a system or Winsock error code, without its closing full stop;
// "error N" where the system has none. Safe on any thread.
std::string SystemMessage(unsigned long error);

}  // namespace quorvex

#endif
