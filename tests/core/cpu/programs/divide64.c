/* 64-bit division and remainder through libgcc, checked by q * d + r = n. */
#include "programs.h"

KEEP volatile uint64_t sums[4];

int main(void) {
    uint32_t seed = 99;
    uint64_t usum = 0;
    int64_t ssum = 0;
    if (0xFFFFFFFFFFFFFFFFull / 3 != 0x5555555555555555ull) return 1;
    volatile int64_t minus7 = -7, two = 2;
    if (minus7 / two != -3 || minus7 % two != -1) return 2;
    for (int i = 0; i < 3000; ++i) {
        uint64_t n = (uint64_t)next_random(&seed) << 32 | next_random(&seed);
        uint64_t d = next_random(&seed) >> (next_random(&seed) & 31);
        if (i & 1) d = d << 32 | next_random(&seed);
        if (d == 0) d = 7;
        uint64_t q = n / d, r = n % d;
        if (q * d + r != n || r >= d) return 3;
        usum += q ^ r;
        int64_t sn = (int64_t)n, sd = (int64_t)d * ((i & 2) ? -1 : 1);
        int64_t sq = sn / sd, sr = sn % sd;
        if (sq * sd + sr != sn) return 4;
        ssum += sq - sr;
    }
    sums[0] = usum;
    sums[1] = (uint64_t)ssum;
    return 0;
}
