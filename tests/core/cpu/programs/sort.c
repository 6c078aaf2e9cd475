/* A qsort of our own (as the C library's, through a comparison function) over
 * integers and records. */
#include "programs.h"

typedef int (*compare_fn)(const void*, const void*);

static void swap_bytes(uint8_t* a, uint8_t* b, size_t size) {
    while (size--) {
        uint8_t t = *a;
        *a++ = *b;
        *b++ = t;
    }
}

static void sort(void* base, size_t count, size_t size, compare_fn compare) {
    uint8_t* a = base;
    while (count > 1) {
        if (count < 8) { /* insertion sort */
            for (size_t i = 1; i < count; ++i)
                for (size_t j = i; j > 0 && compare(a + (j - 1) * size, a + j * size) > 0; --j)
                    swap_bytes(a + (j - 1) * size, a + j * size, size);
            return;
        }
        swap_bytes(a, a + (count / 2) * size, size); /* middle as pivot */
        size_t last = 0;
        for (size_t i = 1; i < count; ++i)
            if (compare(a + i * size, a) < 0) swap_bytes(a + ++last * size, a + i * size, size);
        swap_bytes(a, a + last * size, size);
        /* recurse into the smaller half, loop on the larger */
        if (last < count - last - 1) {
            sort(a, last, size, compare);
            a += (last + 1) * size;
            count -= last + 1;
        } else {
            sort(a + (last + 1) * size, count - last - 1, size, compare);
            count = last;
        }
    }
}

struct record {
    uint16_t key;
    int8_t bias;
    char tag[5];
};

static int32_t numbers[3000];
static struct record records[600];
KEEP volatile uint32_t checks[4];

static int by_value(const void* x, const void* y) {
    int32_t a = *(const int32_t*)x, b = *(const int32_t*)y;
    return (a > b) - (a < b);
}

static int by_key(const void* x, const void* y) {
    const struct record *a = x, *b = y;
    if (a->key != b->key) return a->key < b->key ? -1 : 1;
    return a->bias - b->bias;
}

int main(void) {
    uint32_t seed = 7;
    uint32_t sum = 0;
    for (size_t i = 0; i < 3000; ++i) sum += (uint32_t)(numbers[i] = (int32_t)next_random(&seed));
    sort(numbers, 3000, sizeof numbers[0], by_value);
    uint32_t after = 0;
    for (size_t i = 0; i < 3000; ++i) {
        after += (uint32_t)numbers[i];
        if (i && numbers[i - 1] > numbers[i]) return 1;
    }
    if (after != sum) return 2;
    for (size_t i = 0; i < 600; ++i) {
        uint32_t r = next_random(&seed);
        records[i].key = (uint16_t)(r >> 22);
        records[i].bias = (int8_t)(r >> 8);
        for (int k = 0; k < 4; ++k) records[i].tag[k] = (char)('a' + (r >> (k * 3)) % 26);
        records[i].tag[4] = 0;
    }
    sort(records, 600, sizeof records[0], by_key);
    for (size_t i = 1; i < 600; ++i)
        if (by_key(&records[i - 1], &records[i]) > 0) return 3;
    checks[0] = sum;
    checks[1] = (uint32_t)numbers[1500];
    checks[2] = records[300].key;
    return 0;
}
