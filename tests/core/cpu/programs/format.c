/* String formatting of our own: a small snprintf with %d %u %x %X %s %c, width,
 * zero padding and left alignment. */
#include "programs.h"

#include <stdarg.h>

struct sink {
    char* at;
    char* end;
    size_t length;
};

static void put(struct sink* s, char c) {
    if (s->at < s->end) *s->at++ = c;
    ++s->length;
}

static void put_number(struct sink* s, uint32_t value, int negative, unsigned base, int upper, int width, int zero,
                       int left) {
    char digits[12];
    int n = 0;
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    do {
        digits[n++] = set[value % base];
        value /= base;
    } while (value);
    int length = n + negative;
    if (!left && !zero)
        for (; width > length; --width) put(s, ' ');
    if (negative) put(s, '-');
    if (!left && zero)
        for (; width > length; --width) put(s, '0');
    while (n) put(s, digits[--n]);
    if (left)
        for (; width > length; --width) put(s, ' ');
}

static size_t format(char* buffer, size_t size, const char* f, ...) {
    struct sink s = {buffer, buffer + size - 1, 0};
    va_list args;
    va_start(args, f);
    for (; *f; ++f) {
        if (*f != '%') {
            put(&s, *f);
            continue;
        }
        int left = 0, zero = 0, width = 0;
        if (*++f == '-') left = 1, ++f;
        if (*f == '0') zero = 1, ++f;
        while (*f >= '0' && *f <= '9') width = width * 10 + (*f++ - '0');
        switch (*f) {
        case 'd': {
            int v = va_arg(args, int);
            put_number(&s, v < 0 ? 0u - (uint32_t)v : (uint32_t)v, v < 0, 10, 0, width, zero, left);
            break;
        }
        case 'u': put_number(&s, va_arg(args, unsigned), 0, 10, 0, width, zero, left); break;
        case 'x': put_number(&s, va_arg(args, unsigned), 0, 16, 0, width, zero, left); break;
        case 'X': put_number(&s, va_arg(args, unsigned), 0, 16, 1, width, zero, left); break;
        case 'c': put(&s, (char)va_arg(args, int)); break;
        case 's':
            for (const char* p = va_arg(args, const char*); *p; ++p) put(&s, *p);
            break;
        default: put(&s, *f); break;
        }
    }
    va_end(args);
    *s.at = 0;
    return s.length;
}

static int same(const char* a, const char* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

KEEP char page[8192];

int main(void) {
    char line[64];
    format(line, sizeof line, "%d|%5d|%-5d|%05d|%x|%08X|%s|%c", -42, 17, 17, -3, 0xBEEFu, 0xC0FFEEu, "ok", '!');
    if (!same(line, "-42|   17|17   |-0003|beef|00C0FFEE|ok|!")) return 1;
    if (format(line, 8, "%u", 4294967295u) != 10 || !same(line, "4294967")) return 2;
    uint32_t seed = 3;
    size_t used = 0;
    for (int round = 0; round < 6; ++round) {
        used = 0;
        for (int i = 0; i < 200 && used + 64 < sizeof page; ++i) {
            uint32_t r = next_random(&seed);
            used += format(page + used, 64, "%04d: %-8s %08x %d\n", i, (r & 1) ? "even" : "odd", r, (int)r);
        }
    }
    return page[0] == '0' ? 0 : 3;
}
