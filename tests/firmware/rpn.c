/* The RPN calculator. The stack lives in the memory image as BCD words, so the
 * inspector reads exactly what the calculator shows. */
#include "rpn.h"

#include "bcd.h"
#include "display.h"
#include "image.h"
#include "ui.h"

enum { ENTRY_MAX = 10 };

static struct {
    char entry[ENTRY_MAX + 1];
    unsigned char length;
    unsigned char negative; /* CHS while keying in */
    unsigned char lift;     /* the next number pushes X up */
} rpn;

void rpn_reset(void) {
    rpn.length = 0;
    rpn.negative = 0;
    rpn.lift = 1;
}

int rpn_entering(void) { return rpn.length > 0; }

static double entry_value(void) {
    double value = 0, scale = 1;
    int point = 0;
    for (int i = 0; i < rpn.length; ++i) {
        if (rpn.entry[i] == '.') {
            point = 1;
            continue;
        }
        if (point) scale /= 10;
        value = point ? value + scale * (rpn.entry[i] - '0') : value * 10 + (rpn.entry[i] - '0');
    }
    return rpn.negative ? -value : value;
}

static void push(void) {
    bcd_write(IMAGE_T, bcd_read(IMAGE_Z));
    bcd_write(IMAGE_Z, bcd_read(IMAGE_Y));
    bcd_write(IMAGE_Y, bcd_read(IMAGE_X));
}

static void drop(void) {
    bcd_write(IMAGE_Y, bcd_read(IMAGE_Z));
    bcd_write(IMAGE_Z, bcd_read(IMAGE_T));
}

/* Ends the number being keyed in: it already is X. */
static void finish_entry(void) {
    rpn.length = 0;
    rpn.negative = 0;
}

void rpn_digit(char digit) {
    if (rpn.length == 0) {
        if (rpn.lift) push();
        rpn.lift = 1;
    }
    if (rpn.length >= ENTRY_MAX) return;
    for (int i = 0; digit == '.' && i < rpn.length; ++i)
        if (rpn.entry[i] == '.') return;
    rpn.entry[rpn.length++] = digit;
    rpn.entry[rpn.length] = 0;
    bcd_write(IMAGE_X, entry_value());
}

void rpn_clear_entry(void) {
    finish_entry();
    bcd_write(IMAGE_X, 0);
    rpn.lift = 0;
}

int rpn_operate(enum rpn_op op) {
    if (op == RPN_CHS && rpn_entering()) {
        rpn.negative = !rpn.negative;
        bcd_write(IMAGE_X, entry_value());
        return 1;
    }
    finish_entry();
    double x = bcd_read(IMAGE_X), y = bcd_read(IMAGE_Y);
    rpn.lift = 1;
    switch (op) {
    case RPN_ADD:
    case RPN_SUBTRACT:
    case RPN_MULTIPLY:
    case RPN_DIVIDE:
        if (op == RPN_DIVIDE && x == 0) {
            ui_error(0);
            return 0;
        }
        bcd_write(image_lastx(), x);
        drop();
        bcd_write(IMAGE_X, op == RPN_ADD ? y + x : op == RPN_SUBTRACT ? y - x : op == RPN_MULTIPLY ? y * x : y / x);
        break;
    case RPN_ENTER:
        push();
        rpn.lift = 0;
        break;
    case RPN_CHS: bcd_write(IMAGE_X, -x); break;
    case RPN_CLX:
        bcd_write(IMAGE_X, 0);
        rpn.lift = 0;
        break;
    case RPN_ROLL_DOWN: {
        double z = bcd_read(IMAGE_Z), t = bcd_read(IMAGE_T);
        bcd_write(IMAGE_X, y);
        bcd_write(IMAGE_Y, z);
        bcd_write(IMAGE_Z, t);
        bcd_write(IMAGE_T, x);
        break;
    }
    case RPN_SWAP:
        bcd_write(IMAGE_X, y);
        bcd_write(IMAGE_Y, x);
        break;
    }
    return 1;
}

void rpn_store(int n) {
    finish_entry();
    rpn.lift = 1;
    bcd_write(image_register(n), bcd_read(IMAGE_X));
}

void rpn_recall(int n) {
    finish_entry();
    double value = bcd_read(image_register(n));
    if (rpn.lift) push();
    rpn.lift = 1;
    bcd_write(IMAGE_X, value);
}

/* X as the calculator shows it: all significant digits, or a mantissa and a
 * two-digit exponent for very large and very small numbers. */
static void show_x(void) {
    struct bcd x;
    bcd_load(IMAGE_X, &x);
    char text[24];
    int n = 0, significant = 1;
    for (int d = 0; d < 10; ++d)
        if (x.digits[d]) significant = d + 1;
    if (x.digits[0] == 0) {
        text[n++] = '0';
        text[n++] = '.';
    } else if (x.exponent >= 0 && x.exponent <= 9) {
        for (int d = 0; d < 10 && (d <= x.exponent || d < significant); ++d) {
            text[n++] = (char)('0' + x.digits[d]);
            if (d == x.exponent) text[n++] = '.';
        }
    } else if (x.exponent < 0 && x.exponent >= -5) {
        text[n++] = '0';
        text[n++] = '.';
        int places = 1;
        for (int z = 0; z < -x.exponent - 1; ++z, ++places) text[n++] = '0';
        for (int d = 0; d < significant && places < 10; ++d, ++places) text[n++] = (char)('0' + x.digits[d]);
    } else {
        text[n++] = (char)('0' + x.digits[0]);
        text[n++] = '.';
        for (int d = 1; d < 7; ++d) text[n++] = (char)(d < significant ? '0' + x.digits[d] : ' ');
        int exponent = x.exponent < 0 ? -x.exponent : x.exponent;
        text[n++] = x.exponent < 0 ? '-' : ' ';
        text[n++] = (char)('0' + exponent / 10);
        text[n++] = (char)('0' + exponent % 10);
    }
    text[n] = 0;
    ui_show(text, x.negative);
}

void rpn_show(void) {
    if (rpn_entering())
        ui_show(rpn.entry, rpn.negative);
    else
        show_x();
}
