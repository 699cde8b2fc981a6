// SHA-256 by nettle.
#include <nettle/sha2.h>

#include <array>

#include "storage/sha256.h"

namespace quorvex {

std::string Sha256Hex(std::string_view bytes) {
  sha256_ctx context{};
  sha256_init(&context);
  sha256_update(&context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
  std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest{};
  sha256_digest(&context, digest.size(), digest.data());
  return DigestHex(digest.data(), digest.size());
}

}  // namespace quorvex
