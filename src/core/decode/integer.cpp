// HP-16C integers: a word of 1 to 64 bits, unsigned or in one's or two's complement,
// shown in base 2, 8, 10 or 16.
#include "core/decode/register_value.h"
#include "core/decode/text_out.h"

#include <bit>
#include <cstring>

namespace tw::decode {

Hp16Mode hp16Mode(uint8_t modeByte, uint8_t wordSizeByte)
{
    Hp16Mode mode;
    mode.floatMode = (modeByte >> 4) == 0xC;
    if (modeByte & 0x80)
        mode.base = 10;
    else if (modeByte < 0x20)
        mode.base = 16;
    else if (modeByte < 0x40)
        mode.base = 8;
    else
        mode.base = 2;
    const uint32_t complement = modeByte & 0xF;
    mode.complement = complement > 2 ? 2 : complement;
    uint32_t size = 4 * (15 - (wordSizeByte >> 4)) + static_cast<uint32_t>(std::popcount(wordSizeByte & 0xFu));
    mode.wordSize = size == 0 ? 16 : size;
    return mode;
}

void formatInteger(uint64_t low56, uint8_t highByte, const Hp16Mode& mode, tw_register& out)
{
    low56 &= (uint64_t{1} << 56) - 1;
    if (mode.floatMode) {
        formatDecimal(low56, out);
        return;
    }
    const uint32_t ws = mode.wordSize < 1 ? 1 : (mode.wordSize > 64 ? 64 : mode.wordSize);
    const uint64_t mask = ws == 64 ? ~uint64_t{0} : (uint64_t{1} << ws) - 1;
    const uint64_t value = ((uint64_t{highByte} << 56) | low56) & mask;
    const bool signSet = ((value >> (ws - 1)) & 1) != 0;

    uint64_t magnitude = value;
    bool negative = false;
    bool negativeZero = false;
    if (signSet && mode.complement == 2) {
        magnitude = (0 - value) & mask;
        negative = true;
    } else if (signSet && mode.complement == 1) {
        magnitude = value ^ mask;
        negative = value != mask;
        negativeZero = value == mask;
    }

    out.kind = TW_REGISTER_INTEGER;
    out.raw = low56;
    out.word = value;
    out.isNegative = negative ? 1 : 0;
    out.number = negative ? -static_cast<double>(magnitude) : static_cast<double>(magnitude);

    TextOut decimal(out.decimal, sizeof out.decimal);
    if (negative || negativeZero)
        decimal.put('-');
    decimal.putNumber(magnitude);

    if (mode.base == 10) {
        TextOut text(out.text, sizeof out.text);
        text.put(out.decimal);
        return;
    }
    const uint32_t bits = mode.base == 16 ? 4 : (mode.base == 8 ? 3 : 1);
    const uint32_t places = (ws + bits - 1) / bits;
    TextOut text(out.text, sizeof out.text);
    bool leading = true;
    for (uint32_t place = places; place-- > 0;) {
        const uint32_t shift = place * bits;
        const uint32_t digit = static_cast<uint32_t>(value >> shift) & ((1u << bits) - 1);
        if (digit == 0 && leading && place != 0)
            continue;
        leading = false;
        text.put("0123456789ABCDEF"[digit]);
    }
}

} // namespace tw::decode
