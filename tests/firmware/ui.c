#include "ui.h"

#include "display.h"
#include "keys.h"

static unsigned annunciators; /* ANN_F, ANN_G, ANN_PRGM, ANN_MINUS */

static void set(unsigned mask, int on) {
    annunciators = on ? annunciators | mask : annunciators & ~mask;
    display_set_annunciators(annunciators);
}

void ui_show(const char* text, int negative) {
    annunciators = negative ? annunciators | ANN_MINUS : annunciators & ~(unsigned)ANN_MINUS;
    display_set_annunciators(annunciators);
    display_show(text);
}

void ui_error(int n) {
    char text[9] = "Error ";
    int i = 6;
    if (n >= 10) text[i++] = (char)('0' + n / 10 % 10);
    text[i++] = (char)('0' + n % 10);
    text[i] = 0;
    ui_show(text, 0);
}

void ui_set_shift(int shift) {
    annunciators &= ~(unsigned)(ANN_F | ANN_G);
    set(shift == KEY_F ? ANN_F : shift == KEY_G ? ANN_G : 0, 1);
}

void ui_set_program(int on) { set(ANN_PRGM, on); }

void ui_blank(void) {
    annunciators = 0;
    display_set_annunciators(0);
    display_blank();
}
