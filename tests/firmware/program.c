/* Program steps in each model's byte format:
 *   HP-12C: one byte per step, eight lines; step 1 at offset 2022, steps 2 to 8 at
 *           2008 to 2014; the current line in byte 2016.
 *   HP-15C: a byte stream from offset 2024; bytes 288/289 mark its last byte and
 *           296/297 the current one.
 *   HP-16C: one byte per step from offset 2000 (1760 with extended memory); bytes 2016/2017 mark the end and
 *           2024/2025 the current line. */
#include "program.h"

#include "image.h"
#include "models.h"

static int model(void) { return model_variant() / 10; }

int program_op_byte(enum rpn_op op) {
    static const uint8_t hp12c[] = {0xB4, 0xB2, 0xB1, 0xB3, 0xD4, 0xA2, 0xA4, 0xDC, 0xA5};
    static const uint8_t hp15c[] = {0xFA, 0xFB, 0xFC, 0xFD, 0xC1, 0xC3, 0xA2, 0xC4, 0xC5};
    static const uint8_t hp16c[] = {0xCC, 0xCD, 0xCE, 0xCF, 0xC6, 0xCB, 0xC0, 0xC5, 0xCA};
    return model() == 12 ? hp12c[op] : model() == 16 ? hp16c[op] : hp15c[op];
}

int program_store_byte(int n) { return model() == 12 ? 16 * n + 0xC : model() == 16 ? 0x80 + n : 0x40 + n; }

int program_recall_byte(int n) { return model() == 12 ? 16 * n + 0xD : model() == 16 ? 0x60 + n : 0x30 + n; }

int program_digit_byte(char digit) {
    if (digit == '.') return model() == 12 ? 0xA0 : model() == 16 ? 0xC9 : 0xC0;
    int d = digit - '0';
    return model() == 12 ? 16 * d + 0xF : 0xF0 + d;
}

/* HP-12C line byte: 0 none, 0x0F line 1, else (b >> 4) + 7 * (14 - (b & 15)) + 2. */
static int line_12c(void) {
    int b = IMAGE[2016];
    return b == 0 ? 0 : (b & 15) == 15 ? 1 : (b >> 4) + 7 * (14 - (b & 15)) + 2;
}

/* HP-15C byte pointer (p, q): byte q + 7 * (255 - p) - 1 when p >= 128 and q != 0. */
static int bytes_15c(void) {
    int p = IMAGE[288], q = IMAGE[289] & 15;
    return p >= 128 && q ? q + 7 * (255 - p) : 0;
}

/* HP-16C line pointer (b, n): 7 * (252 - b) + n. */
static int lines_16c(void) {
    int b = IMAGE[2016];
    return b >= 224 && b <= 252 ? 7 * (252 - b) + (IMAGE[2017] & 15) : 0;
}

int program_line(void) {
    switch (model()) {
    case 12: return line_12c();
    case 16: return lines_16c();
    default: return bytes_15c(); /* one-byte steps only */
    }
}

int program_record(int byte) {
    int line = program_line() + 1;
    if (line > PROGRAM_MAX_STEPS) return 0;
    switch (model()) {
    case 12:
        IMAGE[line == 1 ? 2022 : 2008 + (line - 2)] = (uint8_t)byte;
        IMAGE[2016] = (uint8_t)(line == 1 ? 0x0F : (line - 2) << 4 | 14);
        break;
    case 16:
        IMAGE[image_16c_first_step() + line - 1] = (uint8_t)byte;
        IMAGE[2016] = IMAGE[2024] = 252;
        IMAGE[2017] = IMAGE[2025] = (uint8_t)line;
        break;
    default:
        IMAGE[2024 + line - 1] = (uint8_t)byte;
        IMAGE[288] = IMAGE[296] = 255;
        IMAGE[289] = IMAGE[297] = (uint8_t)line;
        break;
    }
    return 1;
}
