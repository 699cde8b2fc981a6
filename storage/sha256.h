// SHA-256: which file went into which card (the log, the history), and the history's chain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvex {

// The digest in lower-case hex (64 digits): nettle on POSIX, the system's CNG on Windows.
std::string Sha256Hex(std::string_view bytes);

// A digest written as checksum tools write it: lower-case hex, no separators.
inline std::string DigestHex(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < count; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

}  // namespace quorvex
