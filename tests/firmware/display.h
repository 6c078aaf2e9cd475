/* The calculator's display: ten digits with points and commas, the sign and the
 * f, g, C, G and PRGM annunciators. */
#pragma once

#include <stdint.h>

enum {
    ANN_F = 1 << 0,
    ANN_G = 1 << 1,
    ANN_C = 1 << 2,
    ANN_BIG_G = 1 << 3,
    ANN_PRGM = 1 << 4,
    ANN_MINUS = 1 << 5,
};

void display_init(void);
/* Shows a text: each character takes a digit, a '.' or ',' joins the one before. */
void display_show(const char* text);
void display_blank(void);
void display_set_annunciators(unsigned annunciators);

/* The text routine every display goes through: ten character/punctuation pairs. */
void show_text(const char pairs[20]);
/* Its body, reached from show_text. */
void display_render(const char pairs[20]);
/* Waits until the LCD controller takes new segments. */
void lcd_wait_ready(void);
