/* Key matrix: rows are port 2 bits 3..6 driven low one at a time; the ten
 * columns are read back on ports 0..2. A key counts once it has been seen down in
 * DEBOUNCE_SCANS consecutive scans, so a short tap is lost. */
#include "keys.h"

#include "hw.h"

#define ROW_PORT 2
#define ROW_SHIFT 3
#define ROW_MASK (0xFu << ROW_SHIFT)
#define ON_PORT 1
#define ON_BIT 1
#define DEBOUNCE_SCANS 3
#define QUEUE_SIZE 8

struct port_bit {
    uint8_t port;
    uint8_t bit;
};

static const struct port_bit columns[10] = {
    {2, 7}, {0, 7}, {1, 5}, {1, 4}, {1, 0}, {1, 2}, {1, 3}, {2, 2}, {2, 1}, {2, 0},
};

static uint8_t seen[KEY_COUNT];     /* consecutive scans a key was down */
static volatile uint8_t released[KEY_COUNT]; /* 1 once a counted key went up again */
static volatile uint8_t queue[QUEUE_SIZE];
static volatile uint8_t queue_head, queue_tail;

void keys_init(void) {
    GPIO_DIR_SET(ROW_PORT) = ROW_MASK;
    GPIO_OUT_SET(ROW_PORT) = ROW_MASK;
    for (int k = 0; k < KEY_COUNT; ++k) released[k] = 1;
}

static void push(int code) {
    uint8_t next = (uint8_t)((queue_tail + 1) % QUEUE_SIZE);
    if (next == queue_head) return; /* full: the key is dropped */
    queue[queue_tail] = (uint8_t)code;
    queue_tail = next;
}

static void count(int code, int down) {
    if (!down) {
        if (seen[code] >= DEBOUNCE_SCANS) released[code] = 1;
        seen[code] = 0;
        return;
    }
    if (seen[code] < 255) ++seen[code];
    if (seen[code] == DEBOUNCE_SCANS) {
        released[code] = 0;
        push(code);
    }
}

void keys_scan(void) {
    uint8_t down[KEY_COUNT] = {0};
    for (int row = 0; row < 4; ++row) {
        uint32_t row_bit = 1u << (ROW_SHIFT + row);
        GPIO_OUT_CLR(ROW_PORT) = row_bit;
        uint32_t in[3] = {GPIO_IN(0), GPIO_IN(1), GPIO_IN(2)};
        GPIO_OUT_SET(ROW_PORT) = row_bit;
        for (int column = 0; column < 10; ++column)
            if (!(in[columns[column].port] >> columns[column].bit & 1u)) down[row * 10 + column] = 1;
    }
    down[KEY_ON] = !(GPIO_IN(ON_PORT) >> ON_BIT & 1u);
    for (int k = 0; k < KEY_COUNT; ++k) count(k, down[k]);
}

int keys_next(void) {
    if (queue_head == queue_tail) return KEY_NONE;
    int code = queue[queue_head];
    queue_head = (uint8_t)((queue_head + 1) % QUEUE_SIZE);
    return code;
}

void keys_mark_down(int code) {
    if (code >= 0 && code < KEY_COUNT) released[code] = 0;
}

int keys_released(int code) { return code < 0 || code >= KEY_COUNT || released[code]; }

int keys_held(int code) { return code >= 0 && code < KEY_COUNT && seen[code] >= DEBOUNCE_SCANS; }
