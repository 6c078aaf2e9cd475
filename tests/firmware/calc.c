/* The calculator itself. It starts switched off; ON turns it on and off. While
 * on it is a small RPN calculator (rpn.c) that records steps in program mode
 * (program.c); f and g light their annunciators until the next key; keys it has
 * no use for show their key code. ON with other keys held plays the service
 * chords (service.c). Power-off seals the memory with its checksum; power-on
 * with a bad checksum shows "Pr Error" over a cleared memory, and any key (the
 * clear key, code 24, in practice) takes the message away. */
#include "calc.h"

#include "display.h"
#include "hw.h"
#include "image.h"
#include "keys.h"
#include "models.h"
#include "program.h"
#include "rpn.h"
#include "service.h"
#include "ui.h"

enum {
    KEY_SST = 21, KEY_POINT = 37, KEY_RS = 20, KEY_STO = 33, KEY_RCL = 34, KEY_CLEAR = 24, KEY_MODEL_ITEM = 16,
};

enum screen { SCREEN_CALCULATOR, SCREEN_MESSAGE, SCREEN_SERVICE_MENU, SCREEN_MODEL_MENU, SCREEN_SELF_TEST };

static struct {
    uint8_t on;
    uint8_t shift;   /* 0, KEY_F or KEY_G */
    uint8_t screen;  /* enum screen */
    uint8_t program; /* program mode */
    uint8_t pending; /* KEY_STO or KEY_RCL waiting for its register, else 0 */
} state;

static int model(void) { return model_variant() / 10; }

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

/* The operation of each key, -1 for none. */
static int op_of(int code) {
    switch (code) {
    case 39: return RPN_ADD;
    case 29: return RPN_SUBTRACT;
    case 19: return RPN_MULTIPLY;
    case 9: return RPN_DIVIDE;
    case 25: return RPN_ENTER;
    case 22: return RPN_ROLL_DOWN;
    case 23: return RPN_SWAP;
    case KEY_CLEAR: return RPN_CLX;
    case 5: return model() == 16 ? -1 : RPN_CHS;
    case 38: return model() == 16 ? RPN_CHS : -1;
    default: return -1;
    }
}

static void show_code(int code) {
    char text[11] = "          ";
    text[8] = (char)('0' + code / 10);
    text[9] = (char)('0' + code % 10);
    ui_show(text, 0);
}

static void show_line(void) {
    char text[] = "000-";
    int line = program_line();
    text[1] = (char)('0' + line / 10);
    text[2] = (char)('0' + line % 10);
    ui_show(model() == 12 ? text + 1 : text, 0);
}

static void show(void) {
    if (state.program)
        show_line();
    else
        rpn_show();
}

static void set_shift(int shift) {
    state.shift = (uint8_t)shift;
    ui_set_shift(shift);
}

static void show_pr_error(void) {
    rpn_reset();
    state.screen = SCREEN_MESSAGE;
    ui_show("Pr Error", 0);
}

void calc_init(void) {
    state.on = 0;
    state.shift = 0;
    state.screen = SCREEN_CALCULATOR;
    state.program = 0;
    state.pending = 0;
    rpn_reset();
    display_init();
}

static void power(int on) {
    state.on = (uint8_t)on;
    state.shift = 0;
    state.screen = SCREEN_CALCULATOR;
    state.program = 0;
    state.pending = 0;
    ui_blank();
    if (!on) {
        image_seal();
        return;
    }
    rpn_reset();
    if (!image_sealed()) {
        image_format();
        show_pr_error();
        return;
    }
    if (!image_formatted()) image_format(); /* a memory that never held anything */
    show();
}

/* ON, alone or with the keys of a service chord held. */
static void on_key(void) {
    switch (service_chord_held()) {
    case SERVICE_MENU:
        power(1);
        state.screen = SCREEN_SERVICE_MENU;
        service_show_menu();
        break;
    case SERVICE_MEMORY_RESET:
        power(1);
        image_format();
        show_pr_error();
        break;
    case SERVICE_SELF_TEST:
        power(1);
        state.screen = SCREEN_SELF_TEST;
        service_self_test();
        break;
    case SERVICE_NONE: power(!state.on); break;
    }
}

/* A key while a service screen or a message is shown. */
static void screen_key(int code) {
    const enum screen screen = (enum screen)state.screen;
    state.screen = SCREEN_CALCULATOR;
    if (screen == SCREEN_SERVICE_MENU && code == KEY_MODEL_ITEM) {
        state.screen = SCREEN_MODEL_MENU;
        service_show_model_menu();
        return;
    }
    if (screen == SCREEN_MODEL_MENU && model_select(service_selected_variant(code))) {
        image_format();
        show_pr_error();
        return;
    }
    show();
}

static void record_or(int byte, void (*action)(int), int argument) {
    if (state.program)
        program_record(byte);
    else
        action(argument);
}

static void operate(int op) {
    if (!rpn_operate((enum rpn_op)op)) state.screen = SCREEN_MESSAGE;
}
static void digit(int character) { rpn_digit((char)character); }

AT(7306) void calc_step(int code) {
    if (state.screen != SCREEN_CALCULATOR) {
        screen_key(code);
        return;
    }
    if (code == KEY_F || code == KEY_G) {
        set_shift(state.shift == code ? 0 : code);
        return;
    }
    const int shift = state.shift;
    if (shift) set_shift(0);

    const int pending = state.pending;
    state.pending = 0;
    const char d = digit_of(code);
    if (pending) {
        const int n = d - '0';
        if (n >= 0 && n < IMAGE_REGISTERS) {
            if (pending == KEY_STO)
                record_or(program_store_byte(n), rpn_store, n);
            else
                record_or(program_recall_byte(n), rpn_recall, n);
        }
    } else if (code == KEY_RS && shift == (model() == 12 ? KEY_F : KEY_G)) {
        state.program = !state.program; /* P/R */
        ui_set_program(state.program);
    } else if (code == KEY_RCL && shift == KEY_G && model() == 15) {
        service_show_memory_status(); /* g MEM, shown while RCL is held */
        while (!keys_released(code)) {
        }
    } else if (d) {
        record_or(program_digit_byte(d), digit, d);
    } else if (code == KEY_CLEAR && !state.program && rpn_entering()) {
        rpn_clear_entry();
    } else if (op_of(code) >= 0) {
        record_or(program_op_byte((enum rpn_op)op_of(code)), operate, op_of(code));
    } else if (code == KEY_STO || code == KEY_RCL) {
        state.pending = (uint8_t)code;
    } else {
        show_code(code);
        return;
    }
    if (state.screen == SCREEN_CALCULATOR) show();
}

void calc_key(int code) {
    if (code == KEY_ON) {
        on_key();
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
