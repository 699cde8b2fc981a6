// The text of a UTF-16 profile, held as UTF-8, the program's own text form. A surrogate without
// its partner is no character, but it is kept as its own three-byte form (as WTF-8 does), so that
// a file comes back unchanged whatever it holds.
#include "storage/profile_utf16.h"

#include <utility>

namespace quorvex::ini {

bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

namespace {

void AppendUtf8(std::string& out, char32_t c) {
  const auto byte = [&out](char32_t b) { out += static_cast<char>(b); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | (c >> 6));
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | (c >> 12));
    byte(0x80 | ((c >> 6) & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else {
    byte(0xF0 | (c >> 18));
    byte(0x80 | ((c >> 12) & 0x3F));
    byte(0x80 | ((c >> 6) & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

bool IsLeadSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsTrailSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// The next character of UTF-8 text at `i` and its length; a byte that starts no character (or
// an overlong or out-of-range form) gives U+FFFD for that one byte.
std::pair<char32_t, std::size_t> NextCharacter(std::string_view text, std::size_t i) {
  constexpr std::pair<char32_t, std::size_t> kInvalid{0xFFFD, 1};
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return {lead, 1};
  // Sequence length, the bits the lead byte carries, and the smallest character of that length.
  struct Form {
    std::size_t length;
    char32_t bits;
    char32_t minimum;
  };
  Form form{};
  if (lead >= 0xC2 && lead <= 0xDF) {
    form = {2, char32_t{lead} & 0x1F, 0x80};
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    form = {3, char32_t{lead} & 0x0F, 0x800};
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    form = {4, char32_t{lead} & 0x07, 0x10000};
  } else {
    return kInvalid;
  }
  const auto [length, bits, minimum] = form;
  char32_t c = bits;
  if (i + length > text.size()) return kInvalid;
  for (std::size_t k = 1; k < length; ++k) {
    if (!IsUtf8Continuation(text[i + k])) return kInvalid;
    c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF) return kInvalid;
  return {c, length};
}

}  // namespace

// `bytes` holds whole code units.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  const auto unit = [&](std::size_t i) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? char32_t{first} << 8 | second : char32_t{second} << 8 | first;
  };
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (IsLeadSurrogate(u) && i + 3 < bytes.size() && IsTrailSurrogate(unit(i + 2))) {
      AppendUtf8(text, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
      i += 2;
    } else {
      AppendUtf8(text, u);
    }
  }
  return text;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  const auto unit = [&](char32_t u) {
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto [c, length] = NextCharacter(text, i);
    i += length;
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return bytes;
}

}  // namespace quorvex::ini
