// SHA-256 (FIPS 180-4), used to fingerprint firmware images.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

constexpr size_t kSha256Size = 32;

void sha256(const uint8_t* bytes, size_t size, uint8_t digest[kSha256Size]);

// The digest of exactly 16 bytes: one block, padding fixed, no copying of a tail.
void sha256Window16(const uint8_t* window, uint8_t digest[kSha256Size]);

} // namespace tw
