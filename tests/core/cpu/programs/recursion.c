/* Recursion: Fibonacci, Ackermann, the towers of Hanoi and permutations. */
#include "programs.h"

KEEP volatile uint32_t answers[4];

static uint32_t fib(uint32_t n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); }

static uint32_t ackermann(uint32_t m, uint32_t n) {
    if (m == 0) return n + 1;
    if (n == 0) return ackermann(m - 1, 1);
    return ackermann(m - 1, ackermann(m, n - 1));
}

static uint32_t hanoi(int n, int from, int to, int via, uint32_t* trace) {
    if (n == 0) return 0;
    uint32_t moves = hanoi(n - 1, from, via, to, trace);
    *trace = (*trace * 31) ^ (uint32_t)(from * 3 + to);
    return moves + 1 + hanoi(n - 1, via, to, from, trace);
}

static uint32_t permutations(uint8_t* items, int k, int n) {
    if (k == n) return 1;
    uint32_t count = 0;
    for (int i = k; i < n; ++i) {
        uint8_t t = items[k]; items[k] = items[i]; items[i] = t;
        count += permutations(items, k + 1, n);
        t = items[k]; items[k] = items[i]; items[i] = t;
    }
    return count;
}

int main(void) {
    uint32_t trace = 0;
    uint8_t items[7] = {1, 2, 3, 4, 5, 6, 7};
    answers[0] = fib(20);
    answers[1] = ackermann(2, 200);
    answers[2] = hanoi(12, 0, 2, 1, &trace);
    answers[3] = permutations(items, 0, 7);
    if (answers[0] != 6765 || answers[1] != 403 || answers[2] != 4095 || answers[3] != 5040) return 1;
    return trace ? 0 : 2;
}
