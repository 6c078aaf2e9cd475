// The 14-nibble BCD register word: sign nibble 13, ten mantissa digits in nibbles 12
// to 3, exponent sign in nibble 2 and two exponent digits in nibbles 1 and 0.
#include "core/decode/register_value.h"

#include "core/decode/text_out.h"

#include <charconv>
#include <cstring>

namespace tw::decode {

namespace {

uint32_t nibble(uint64_t word, int index) { return static_cast<uint32_t>(word >> (4 * index)) & 0xF; }

} // namespace

void formatDecimal(uint64_t word, tw_register& out)
{
    char d[10];
    bool anyDigit = false;
    for (int i = 0; i < 10; ++i) {
        const uint32_t v = nibble(word, 12 - i);
        d[i] = static_cast<char>('0' + (v > 9 ? 9 : v));
        anyDigit = anyDigit || d[i] != '0';
    }
    int exponent = static_cast<int>(10 * nibble(word, 1) + nibble(word, 0));
    if (nibble(word, 2) >= 5)
        exponent -= 100;
    const bool negative = nibble(word, 13) >= 5 && anyDigit;
    int significant = 1;
    for (int i = 0; i < 10; ++i)
        if (d[i] != '0')
            significant = i + 1;

    out.kind = TW_REGISTER_DECIMAL;
    out.raw = word;
    out.word = 0;
    out.isNegative = negative ? 1 : 0;
    TextOut text(out.text, sizeof out.text);
    if (d[0] == '0') {
        text.put('0');
    } else {
        if (negative)
            text.put('-');
        if (exponent >= 10 || exponent <= -6) {
            text.put(d[0]);
            if (significant > 1) {
                text.put('.');
                for (int i = 1; i < significant; ++i)
                    text.put(d[i]);
            }
            text.put('e');
            text.putNumber(exponent);
        } else if (exponent < 0) {
            text.put("0.");
            for (int i = 0; i < -exponent - 1; ++i)
                text.put('0');
            for (int i = 0; i < significant; ++i)
                text.put(d[i]);
        } else {
            const int shown = significant > exponent + 1 ? significant : exponent + 1;
            for (int i = 0; i < shown; ++i) {
                text.put(d[i]);
                if (i == exponent && shown > exponent + 1)
                    text.put('.');
            }
        }
    }

    out.number = 0;
    if (d[0] != '0') {
        // Read back through the same text the calculator's digits make, as a double.
        char number[40];
        TextOut n(number, sizeof number);
        if (negative)
            n.put('-');
        n.put(d[0]);
        n.put('.');
        for (int i = 1; i < 10; ++i)
            n.put(d[i]);
        n.put('e');
        n.putNumber(exponent);
        std::from_chars(number, number + n.length(), out.number);
    }
    std::memset(out.decimal, 0, sizeof out.decimal);
    std::memcpy(out.decimal, out.text, sizeof out.decimal - 1);
}

} // namespace tw::decode
