/* Start-up of the interpreter's test programs. The harness starts at the address
 * in the word at 0x4004 with SP at the top of RAM and LR = 0x4001: `reset` sets
 * up .data and .bss, runs main and returns its result in r0 to the halt loop at
 * 0x4000, where the run stops. */
#include "programs.h"

extern uint32_t __data_load[], __data_start[], __data_end[], __bss_start[], __bss_end[];

__asm__(".section .halt, \"ax\", %progbits\n"
        ".thumb\n"
        "halt: b halt\n"
        ".balign 4\n"
        ".word reset\n");

int reset(void) {
    const uint32_t* from = __data_load;
    for (uint32_t* to = __data_start; to < __data_end;) *to++ = *from++;
    for (uint32_t* to = __bss_start; to < __bss_end;) *to++ = 0;
    return main();
}

void* memcpy(void* to, const void* from, size_t n) {
    uint8_t* d = to;
    const uint8_t* s = from;
    while (n--) *d++ = *s++;
    return to;
}

void* memmove(void* to, const void* from, size_t n) {
    uint8_t* d = to;
    const uint8_t* s = from;
    if (d < s) {
        while (n--) *d++ = *s++;
    } else {
        while (n--) d[n] = s[n];
    }
    return to;
}

void* memset(void* to, int value, size_t n) {
    uint8_t* d = to;
    while (n--) *d++ = (uint8_t)value;
    return to;
}

int memcmp(const void* a, const void* b, size_t n) {
    const uint8_t *x = a, *y = b;
    for (; n; --n, ++x, ++y)
        if (*x != *y) return *x - *y;
    return 0;
}

uint32_t next_random(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state;
}
