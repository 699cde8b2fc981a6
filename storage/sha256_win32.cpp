// SHA-256 by the system's cryptography API (CNG), part of every Windows since Vista.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// bcrypt.h needs windows.h first.
#include <bcrypt.h>

#include <array>
#include <stdexcept>

#include "storage/sha256.h"

namespace quorvex {

namespace {

// Closes the provider and the hash object on every path.
struct HashHandles {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~HashHandles() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
  HashHandles h;
  std::array<std::uint8_t, 32> digest{};
  auto* input = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
  const bool ok =
      BCryptOpenAlgorithmProvider(&h.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) >= 0 &&
      BCryptCreateHash(h.algorithm, &h.hash, nullptr, 0, nullptr, 0, 0) >= 0 &&
      BCryptHashData(h.hash, input, static_cast<ULONG>(bytes.size()), 0) >= 0 &&
      BCryptFinishHash(h.hash, digest.data(), static_cast<ULONG>(digest.size()), 0) >= 0;
  if (!ok) throw std::runtime_error("SHA-256 is not available on this system");
  return DigestHex(digest.data(), digest.size());
}

}  // namespace quorvex
