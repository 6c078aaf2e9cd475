// The LCD record as text: sign, one character per digit, then its comma or point.
#include "core/bus/lcd_tables.h"
#include "core/tw.h"

extern "C" int tw_lcd_text(const struct tw_lcd* record, char* buffer, size_t size) {
    if (!record || !buffer || size < 2) return TW_ERR_ARGUMENT;
    size_t n = 0;
    if (record->minus) buffer[n++] = '-';
    for (int digit = 0; digit < tw::lcd::kDigits && n + 2 <= size; ++digit) {
        buffer[n++] = tw::lcd::patternChar(record->segments[digit]);
        bool comma = record->commas[digit] != 0;
        if ((comma || record->dots[digit]) && n + 2 <= size) buffer[n++] = comma ? ',' : '.';
    }
    buffer[n] = 0;
    return TW_OK;
}
