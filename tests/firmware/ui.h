/* What the calculator shows: a text, the sign and the f, g and PRGM annunciators. */
#pragma once

/* Shows a text (see display_show) with the minus sign lit or not. */
void ui_show(const char* text, int negative);
/* Shows "Error n". */
void ui_error(int n);
/* Lights f (31), g (32) or neither (0). */
void ui_set_shift(int shift);
void ui_set_program(int on);
/* Everything dark: the calculator is off. */
void ui_blank(void);
