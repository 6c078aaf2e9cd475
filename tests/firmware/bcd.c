/* 14-nibble BCD register words: nibble 13 the sign (9 negative), 12 to 3 the
 * mantissa, 2 the exponent's sign (9: stored as 100 plus the exponent), 1 and 0
 * the exponent. Nibble i lies in byte i / 2 of the word, low half for even i. */
#include "bcd.h"

#include "image.h"

#include <stdint.h>

static int nibble(int offset, int i) { return IMAGE[offset + i / 2] >> (4 * (i & 1)) & 0xF; }

void bcd_load(int offset, struct bcd* number) {
    for (int d = 0; d < 10; ++d) {
        int digit = nibble(offset, 12 - d);
        number->digits[d] = (char)(digit > 9 ? 9 : digit);
    }
    int exponent = 10 * nibble(offset, 1) + nibble(offset, 0);
    number->exponent = nibble(offset, 2) >= 5 ? exponent - 100 : exponent;
    number->negative = nibble(offset, 13) >= 5 && number->digits[0] != 0;
}

void bcd_store(int offset, const struct bcd* number) {
    uint8_t nibbles[14] = {0};
    if (number->digits[0] != 0) {
        for (int d = 0; d < 10; ++d) nibbles[12 - d] = (uint8_t)number->digits[d];
        int exponent = number->exponent;
        if (exponent < 0) {
            nibbles[2] = 9;
            exponent += 100;
        }
        nibbles[1] = (uint8_t)(exponent / 10);
        nibbles[0] = (uint8_t)(exponent % 10);
        nibbles[13] = number->negative ? 9 : 0;
    }
    for (int i = 0; i < 7; ++i) IMAGE[offset + i] = (uint8_t)(nibbles[2 * i] | nibbles[2 * i + 1] << 4);
}

double bcd_value(const struct bcd* number) {
    double value = 0;
    for (int d = 0; d < 10; ++d) value = value * 10 + number->digits[d];
    for (int e = number->exponent - 9; e > 0; --e) value *= 10;
    for (int e = number->exponent - 9; e < 0; ++e) value /= 10;
    return number->negative ? -value : value;
}

void bcd_from_value(double value, struct bcd* number) {
    number->negative = value < 0;
    number->exponent = 0;
    for (int d = 0; d < 10; ++d) number->digits[d] = 0;
    if (value < 0) value = -value;
    if (value == 0) {
        number->negative = 0;
        return;
    }
    int exponent = 0;
    while (value >= 10) {
        value /= 10;
        ++exponent;
    }
    while (value < 1) {
        value *= 10;
        --exponent;
    }
    uint64_t mantissa = (uint64_t)(value * 1e9 + 0.5);
    if (mantissa >= 10000000000ull) {
        mantissa /= 10;
        ++exponent;
    }
    if (exponent > 99 || exponent < -99) { /* out of range: 9.999999999e99, or 0 */
        for (int d = 0; d < 10; ++d) number->digits[d] = exponent > 99 ? 9 : 0;
        number->exponent = exponent > 99 ? 99 : 0;
        if (exponent < -99) number->negative = 0;
        return;
    }
    for (int d = 9; d >= 0; --d) {
        number->digits[d] = (char)(mantissa % 10);
        mantissa /= 10;
    }
    number->exponent = exponent;
}

double bcd_read(int offset) {
    struct bcd number;
    bcd_load(offset, &number);
    return bcd_value(&number);
}

void bcd_write(int offset, double value) {
    struct bcd number;
    bcd_from_value(value, &number);
    bcd_store(offset, &number);
}
