#include "service.h"

#include "display.h"
#include "hw.h"
#include "image.h"
#include "keys.h"
#include "models.h"
#include "ui.h"

enum { KEY_MINUS = 29, KEY_TIMES = 19, KEY_ENTER = 25 };

enum service_chord service_chord_held(void) {
    if (keys_held(KEY_G) && keys_held(KEY_ENTER)) return SERVICE_MENU;
    if (keys_held(KEY_MINUS)) return SERVICE_MEMORY_RESET;
    if (keys_held(KEY_TIMES)) return SERVICE_SELF_TEST;
    return SERVICE_NONE;
}

void service_show_menu(void) { ui_show("-- 4 --", 0); }

void service_show_model_menu(void) { ui_show("1 3 5", 0); }

void service_self_test(void) {
    lcd_wait_ready();
    for (int i = 0; i < LCD_SEGMENT_WORDS; ++i) LCD_SEGMENTS(i) = 0xFFFFFFFFu;
}

int service_selected_variant(int code) {
    switch (code) {
    case 1: return model_variant() == 150 ? 120 : 150;
    case 3: return 152;
    case 5: return 160;
    default: return 0;
    }
}

static int append_number(char* text, int n, int value, int width) {
    char digits[6];
    int count = 0;
    do {
        digits[count++] = (char)('0' + value % 10);
        value /= 10;
    } while (value && count < 5);
    while (count < width) digits[count++] = '0';
    while (count) text[n++] = digits[--count];
    return n;
}

void service_show_memory_status(void) {
    const int data = IMAGE[286], top = IMAGE[285];
    if (model_variant() == 150 && data < 160) {
        ui_error(10);
        return;
    }
    const int storage = top >= data ? top - data : 0;
    const int q = IMAGE[289] & 15;
    const int program_registers = q ? 256 - IMAGE[288] : 0;
    const int program_bytes = q ? q + 7 * (255 - IMAGE[288]) : 0;
    const int total = model_variant() == 152 ? 192 : 96;
    char text[24];
    int n = append_number(text, 0, storage + 1, 1);
    text[n++] = ' ';
    n = append_number(text, n, total - storage - program_registers, 1);
    text[n++] = ' ';
    n = append_number(text, n, program_registers, 2);
    text[n++] = '-';
    n = append_number(text, n, 7 * program_registers - program_bytes, 1);
    text[n] = 0;
    ui_show(text, 0);
}
