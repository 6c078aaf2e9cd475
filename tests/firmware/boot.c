/* Vector table, start-up and the two interrupt handlers. Handlers are plain
 * functions: the chip calls them and they return through LR. */
#include "calc.h"
#include "display.h"
#include "hw.h"
#include "keys.h"
#include "models.h"

#include <stdint.h>

extern uint32_t _stack_top[];
extern uint32_t _bss_start[], _bss_end[];

void reset_handler(void);
void periodic_handler(void);
void timer_handler(void);
static void unused_handler(void);

typedef void (*vector)(void);

#define VECTOR_COUNT 96
#define VECTOR_PERIODIC 55 /* exception 55: interrupt 39 */
#define VECTOR_TIMER 85

__attribute__((section(".vectors"), used)) static const vector vectors[VECTOR_COUNT] = {
    [0] = (vector)_stack_top,
    [1] = reset_handler,
    [2 ... VECTOR_PERIODIC - 1] = unused_handler,
    [VECTOR_PERIODIC] = periodic_handler,
    [VECTOR_PERIODIC + 1 ... VECTOR_TIMER - 1] = unused_handler,
    [VECTOR_TIMER] = timer_handler,
    [VECTOR_TIMER + 1 ... VECTOR_COUNT - 1] = unused_handler,
};

static volatile uint32_t milliseconds;

static void unused_handler(void) {
    for (;;) {
    }
}

void init_ram(void) {
    for (uint32_t* p = _bss_start; p < _bss_end;) *p++ = 0;
}

void reset_handler(void) {
    init_ram();
    RAM_CLOCK_HZ = CPU_CLOCK_HZ;
    RAM_DESCRIPTOR = (uint32_t)model_running();
    keys_init();
    calc_init();
    NVIC_ISER1 = IRQ39_BIT;
    TIMER_CTRL = TIMER_RUN | TIMER_REQUEST;
    RAM_TIMER_WANTED = 1;
    for (;;) {
        calc_work();
        __asm volatile("wfi");
    }
}

/* Interrupt 39, every 10 ms: the key matrix. */
void periodic_handler(void) { keys_scan(); }

void timer_handler(void) {
    TIMER_ACK = 1;
    milliseconds += 10;
}
