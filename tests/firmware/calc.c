/* The calculator itself. It starts switched off; ON turns it on and off. While
 * on, digits and the point build a number entry, f and g light their
 * annunciators until the next key, the clear key (code 24) clears the entry, and
 * any other key shows its key code. */
#include "calc.h"

#include "display.h"
#include "hw.h"
#include "keys.h"

enum { KEY_CLEAR = 24, KEY_SST = 21, KEY_POINT = 37, ENTRY_MAX = 10 };

static struct {
    uint8_t on;
    uint8_t shift; /* 0, KEY_F or KEY_G */
    uint8_t length;
    char entry[ENTRY_MAX + 2];
} state;

/* The digit each key enters, 0 for none. */
static char digit_of(int code) {
    switch (code) {
    case 6: return '7';
    case 7: return '8';
    case 8: return '9';
    case 16: return '4';
    case 17: return '5';
    case 18: return '6';
    case 26: return '1';
    case 27: return '2';
    case 28: return '3';
    case 36: return '0';
    case KEY_POINT: return '.';
    default: return 0;
    }
}

static void show_entry(void) { display_show(state.length ? state.entry : "0."); }

static void show_code(int code) {
    char text[11] = "          ";
    text[8] = (char)('0' + code / 10);
    text[9] = (char)('0' + code % 10);
    display_show(text);
}

static void set_shift(int shift) {
    state.shift = (uint8_t)shift;
    display_set_annunciators(shift == KEY_F ? ANN_F : shift == KEY_G ? ANN_G : 0);
}

void calc_init(void) {
    state.on = 0;
    state.shift = 0;
    state.length = 0;
    display_init();
}

static void power(int on) {
    state.on = (uint8_t)on;
    state.length = 0;
    set_shift(0);
    if (on)
        show_entry();
    else
        display_blank();
}

AT(7306) void calc_step(int code) {
    char digit = digit_of(code);
    if (code == KEY_F || code == KEY_G) {
        set_shift(state.shift == code ? 0 : code);
        return;
    }
    if (state.shift) set_shift(0);
    if (digit) {
        if (state.length < ENTRY_MAX) {
            state.entry[state.length++] = digit;
            state.entry[state.length] = 0;
        }
        show_entry();
    } else if (code == KEY_CLEAR) {
        state.length = 0;
        show_entry();
    } else {
        show_code(code);
    }
}

void calc_key(int code) {
    if (code == KEY_ON) {
        power(!state.on);
        return;
    }
    if (!state.on) return;
    if (code == KEY_SST) {
        /* SST shows its key code while held and steps on release. */
        show_code(code);
        while (!keys_released(code)) {
        }
    }
    calc_step(code);
}

void calc_work(void) {
    for (int code = keys_next(); code != KEY_NONE; code = keys_next()) calc_key(code);
}
