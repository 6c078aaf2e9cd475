/* Numbers in the memory image: 56-bit words of 14 BCD nibbles (sign, ten
 * mantissa digits, exponent sign and two exponent digits), as the calculators
 * keep them. Arithmetic is done in double precision (soft float) between them. */
#pragma once

/* The nibbles of one register word. */
struct bcd {
    int negative;
    int exponent;     /* -99 to 99 */
    char digits[10];  /* 0 to 9, the first before the point; all zero for 0 */
};

void bcd_load(int offset, struct bcd* number);
void bcd_store(int offset, const struct bcd* number);
double bcd_value(const struct bcd* number);
void bcd_from_value(double value, struct bcd* number);

double bcd_read(int offset);
void bcd_write(int offset, double value);
