// The text of a UTF-16 profile, held as UTF-8 (profile_utf16.cpp).
#pragma once

#include <string>
#include <string_view>

namespace quorvex::ini {

bool IsUtf8Continuation(char c);

// UTF-16 bytes (whole code units) as UTF-8, and back.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view text, bool bigEndian);

}  // namespace quorvex::ini
