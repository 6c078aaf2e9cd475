// A stored register word as a value: the calculator's 14-nibble BCD decimals and the
// HP-16C's integers of 1 to 64 bits.
#pragma once

#include "core/tw.h"

#include <cstdint>

namespace tw::decode {

// Fills kind, raw, word, isNegative, number, text and decimal of a decimal register
// (the name is left alone).
void formatDecimal(uint64_t word, tw_register& out);

// How an HP-16C shows its integers (from the mode and word-size bytes of the image).
struct Hp16Mode {
    bool floatMode = false;
    uint32_t base = 16;       // 2, 8, 10 or 16
    uint32_t complement = 2;  // 0 unsigned, 1 one's, 2 two's complement
    uint32_t wordSize = 16;   // 1 to 64
};

Hp16Mode hp16Mode(uint8_t modeByte, uint8_t wordSizeByte);

// Fills the register from the low 56 bits and the high byte of an HP-16C register;
// in float mode the low 56 bits are a decimal.
void formatInteger(uint64_t low56, uint8_t highByte, const Hp16Mode& mode, tw_register& out);

} // namespace tw::decode
