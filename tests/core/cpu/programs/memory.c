/* Store-heavy work: a sieve of Eratosthenes and block moves through RAM. */
#include "programs.h"

static uint8_t sieve[20000];
static uint32_t blocks[2048];
KEEP volatile uint32_t found[2];

int main(void) {
    uint32_t primes = 0;
    for (int round = 0; round < 3; ++round) {
        memset(sieve, 1, sizeof sieve);
        sieve[0] = sieve[1] = 0;
        for (uint32_t i = 2; i * i < sizeof sieve; ++i)
            if (sieve[i])
                for (uint32_t j = i * i; j < sizeof sieve; j += i) sieve[j] = 0;
        primes = 0;
        for (uint32_t i = 0; i < sizeof sieve; ++i) primes += sieve[i];
    }
    if (primes != 2262) return 1;
    uint32_t seed = 17;
    for (uint32_t i = 0; i < 2048; ++i) blocks[i] = next_random(&seed);
    for (int round = 0; round < 40; ++round) {
        uint32_t from = next_random(&seed) % 1024, to = next_random(&seed) % 1024;
        memmove(&blocks[to], &blocks[from], 1024 * sizeof blocks[0]);
        for (uint32_t i = 0; i < 2048; i += 4) blocks[i] ^= (uint32_t)round;
    }
    found[0] = primes;
    found[1] = blocks[777];
    return 0;
}
