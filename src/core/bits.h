// Small bit operations shared by the interpreter, the bus and the firmware readers:
// sign extension, byte and bit reversal, little-endian loads and stores.
#pragma once

#include <cstdint>

namespace tw {

// The low `bits` bits of v read as a two's-complement number, widened to 32 bits.
constexpr uint32_t signExtend(uint32_t v, uint32_t bits) {
    return uint32_t(int32_t(v << (32 - bits)) >> (32 - bits));
}

// The four bytes of a word in the opposite order (REV).
constexpr uint32_t reverseBytes(uint32_t v) { return __builtin_bswap32(v); }

// The two bytes of each halfword swapped (REV16).
constexpr uint32_t reverseHalfwordBytes(uint32_t v) { return ((v & 0xFF00FF00u) >> 8) | ((v & 0x00FF00FFu) << 8); }

// The low halfword's two bytes swapped and sign-extended (REVSH).
constexpr uint32_t reverseSignedHalfword(uint32_t v) { return signExtend(((v & 0xFF) << 8) | ((v >> 8) & 0xFF), 16); }

// The 32 bits in the opposite order (RBIT).
constexpr uint32_t reverseBits(uint32_t v) {
    v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
    v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
    return reverseBytes(v);
}

// A little-endian value of 1, 2 or 4 bytes.
inline uint32_t loadLE(const uint8_t* p, uint32_t width) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < width; ++i) value |= uint32_t(p[i]) << (8 * i);
    return value;
}
inline uint32_t loadLE32(const uint8_t* p) { return loadLE(p, 4); }
inline uint32_t loadLE16(const uint8_t* p) { return loadLE(p, 2); }

// Stores the low 1, 2 or 4 bytes of value, little-endian.
inline void storeLE(uint8_t* p, uint32_t width, uint32_t value) {
    for (uint32_t i = 0; i < width; ++i) p[i] = uint8_t(value >> (8 * i));
}

} // namespace tw
