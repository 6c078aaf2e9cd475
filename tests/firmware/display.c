/* Display output: the LCD controller's segment memory and, on the HP-16C, the
 * two display words that the firmware also keeps in RAM. */
#include "display.h"

#include "hw.h"

/* Character -> segments a..g in bits 0..6. */
static const char font_chars[] = "0123456789AbCdEF- PrhotLnUuHJG_yi";
static const uint8_t font_patterns[] = {
    0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71, 0x40,
    0x00, 0x73, 0x50, 0x74, 0x5C, 0x78, 0x38, 0x54, 0x3E, 0x1C, 0x76, 0x0E, 0x3D, 0x08, 0x6E, 0x30,
};

/* LCD bit numbers of each digit: segments a..g, point, comma. */
static const uint8_t lcd_digits[10][9] = {
    {194, 131, 66, 65, 129, 193, 130, 3, 2},    {195, 197, 68, 67, 132, 196, 133, 69, 5},
    {199, 136, 71, 70, 134, 198, 135, 8, 7},    {200, 202, 73, 72, 137, 201, 138, 74, 10},
    {204, 141, 76, 75, 139, 203, 140, 13, 12},  {205, 207, 78, 77, 142, 206, 143, 79, 15},
    {209, 146, 81, 80, 144, 208, 145, 18, 17},  {210, 212, 83, 82, 147, 211, 148, 84, 255},
    {214, 151, 86, 85, 149, 213, 150, 23, 255}, {215, 217, 88, 87, 152, 216, 153, 89, 255},
};
/* f, g, C, G, PRGM, minus */
static const uint8_t lcd_annunciators[6] = {6, 9, 21, 14, 24, 1};

static unsigned annunciators;
static char shown[20];

static uint8_t pattern_of(char c) {
    for (int i = 0; font_chars[i]; ++i)
        if (font_chars[i] == c) return font_patterns[i];
    return 0;
}

#if FW_FAMILY == 16
/* HP-16C display words A and B: word, segments a..g, point, comma (0xFF: none). */
static const uint8_t word_digits[10][10] = {
    {0, 21, 23, 19, 47, 18, 20, 22, 39, 38}, {0, 27, 29, 25, 17, 24, 26, 28, 15, 14},
    {0, 51, 53, 49, 13, 48, 50, 52, 55, 54}, {0, 33, 35, 31, 9, 30, 32, 34, 37, 36},
    {0, 43, 45, 41, 7, 40, 42, 44, 11, 10},  {1, 11, 13, 9, 15, 8, 10, 12, 17, 16},
    {1, 21, 23, 19, 7, 18, 20, 22, 25, 24},  {1, 29, 31, 27, 39, 26, 28, 30, 37, 0xFF},
    {1, 47, 49, 45, 33, 44, 46, 48, 35, 0xFF}, {1, 53, 55, 51, 41, 50, 52, 54, 43, 0xFF},
};
#define WORD_MINUS_BIT 46
/* The display block starts at this address; the words lie 176 bytes in, moved
 * by 128 bytes per unit of the display-offset byte at file offset 0x1BF00. */
#define DISPLAY_BLOCK 0x20000020u
#define DISPLAY_OFFSET_UNITS 16
const uint8_t display_offset_byte __attribute__((section(".fixed.1ff00"), used)) = DISPLAY_OFFSET_UNITS;
#define DISPLAY_WORDS ((volatile uint32_t*)(DISPLAY_BLOCK + 176u + DISPLAY_OFFSET_UNITS * 128u))

static void write_display_words(const char pairs[20]) {
    uint32_t words[4] = {0}; /* A low, A high, B low, B high */
    for (int d = 0; d < 10; ++d) {
        const uint8_t* map = word_digits[d];
        uint8_t pattern = pattern_of(pairs[2 * d]);
        uint32_t* word = &words[2 * map[0]];
        for (int s = 0; s < 7; ++s)
            if (pattern >> s & 1u) word[map[1 + s] / 32] |= 1u << (map[1 + s] % 32);
        char punct = pairs[2 * d + 1];
        uint8_t bit = punct == '.' ? map[8] : punct == ',' ? map[9] : 0xFF;
        if (bit != 0xFF) word[bit / 32] |= 1u << (bit % 32);
    }
    if (annunciators & ANN_MINUS) words[WORD_MINUS_BIT / 32] |= 1u << (WORD_MINUS_BIT % 32);
    for (int i = 0; i < 4; ++i) DISPLAY_WORDS[i] = words[i];
}
#endif

static void set_bit(uint32_t segments[LCD_SEGMENT_WORDS], unsigned bit) { segments[bit / 32] |= 1u << (bit % 32); }

void display_init(void) {
#if FW_FAMILY == 16
    RAM_DISPLAY_BLOCK = DISPLAY_BLOCK;
#endif
    annunciators = 0;
    display_blank();
}

void display_render(const char pairs[20]) {
    uint32_t segments[LCD_SEGMENT_WORDS] = {0};
    for (int d = 0; d < 10; ++d) {
        uint8_t pattern = pattern_of(pairs[2 * d]);
        for (int s = 0; s < 7; ++s)
            if (pattern >> s & 1u) set_bit(segments, lcd_digits[d][s]);
        if (pairs[2 * d + 1] == '.') set_bit(segments, lcd_digits[d][7]);
        if (pairs[2 * d + 1] == ',') set_bit(segments, lcd_digits[d][8]);
        shown[2 * d] = pairs[2 * d];
        shown[2 * d + 1] = pairs[2 * d + 1];
    }
    for (int i = 0; i < 6; ++i)
        if (annunciators >> i & 1u) set_bit(segments, lcd_annunciators[i]);

    lcd_wait_ready();
    for (int i = 0; i < LCD_SEGMENT_WORDS; ++i) LCD_SEGMENTS(i) = segments[i];
#if FW_FAMILY == 16
    write_display_words(pairs);
#endif
}

/* The controller raises its ready flag after a while; the program runner steps over this. */
AT(9bb8) void lcd_wait_ready(void) {
    while (!(LCD_STATUS & 1u)) {
    }
}

void display_show(const char* text) {
    char pairs[20];
    int d = 0;
    for (int i = 0; i < 20; ++i) pairs[i] = ' ';
    for (; *text && d < 10; ++text) {
        if ((*text == '.' || *text == ',') && d > 0 && pairs[2 * d - 1] == ' ') {
            pairs[2 * d - 1] = *text;
            continue;
        }
        pairs[2 * d] = *text;
        ++d;
    }
    show_text(pairs);
}

void display_blank(void) { display_show(""); }

void display_set_annunciators(unsigned value) {
    annunciators = value;
    display_render(shown);
}
