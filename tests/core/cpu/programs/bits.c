/* Bit manipulation, each result checked against a second way of computing it. */
#include "programs.h"

KEEP volatile uint32_t digest[4];

static unsigned popcount_loop(uint32_t v) {
    unsigned n = 0;
    for (; v; v >>= 1) n += v & 1;
    return n;
}

static unsigned popcount_swar(uint32_t v) {
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return (((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

static uint32_t reverse_loop(uint32_t v) {
    uint32_t r = 0;
    for (int i = 0; i < 32; ++i, v >>= 1) r = (r << 1) | (v & 1);
    return r;
}

static uint32_t reverse_swap(uint32_t v) {
    v = ((v >> 1) & 0x55555555u) | ((v & 0x55555555u) << 1);
    v = ((v >> 2) & 0x33333333u) | ((v & 0x33333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0Fu) | ((v & 0x0F0F0F0Fu) << 4);
    v = ((v >> 8) & 0x00FF00FFu) | ((v & 0x00FF00FFu) << 8);
    return (v >> 16) | (v << 16);
}

static unsigned leading_zeros(uint32_t v) {
    unsigned n = 0;
    for (uint32_t m = 0x80000000u; m && !(v & m); m >>= 1) ++n;
    return n;
}

struct fields {
    unsigned a : 3;
    unsigned b : 9;
    signed c : 7;
    unsigned d : 13;
};

int main(void) {
    uint32_t seed = 11, mix = 0;
    for (int i = 0; i < 4000; ++i) {
        uint32_t v = next_random(&seed) >> (i & 15);
        if (popcount_loop(v) != popcount_swar(v)) return 1;
        if (reverse_loop(v) != reverse_swap(v)) return 2;
        if (v && (unsigned)__builtin_clz(v) != leading_zeros(v)) return 3;
        uint32_t rot = (v << (i & 31)) | (v >> ((32 - (i & 31)) & 31));
        uint32_t gray = v ^ (v >> 1), back = gray;
        for (uint32_t s = 1; s < 32; s <<= 1) back ^= back >> s;
        if (back != v) return 4;
        struct fields f = {v & 7, (v >> 3) & 0x1FF, (int)((v >> 12) & 0x7F) - 64, v >> 19};
        int32_t c = f.c;
        if (f.a != (v & 7) || f.b != ((v >> 3) & 0x1FF) || c != (int32_t)((v >> 12) & 0x7F) - 64) return 5;
        mix = (mix ^ rot) * 0x9E3779B1u + f.d + (uint32_t)(int32_t)(int16_t)v + (uint32_t)(int32_t)(int8_t)(v >> 8);
    }
    digest[0] = mix;
    return 0;
}
