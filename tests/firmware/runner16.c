/* HP-16C entry points for the emulator's program runner, which calls them
 * directly (SP and LR set, no interrupts, no key matrix) and waits for them to
 * return. */
#include "calc.h"
#include "display.h"
#include "hw.h"
#include "keys.h"

#if FW_FAMILY == 16

void init_ram(void);

/* Sets the firmware up as the start would, without timer or interrupts. */
AT(8894) void runner_init(void) {
    init_ram();
    keys_init();
    calc_init();
}

/* Handles one key, r0 = its code, as if the key matrix had counted it. */
AT(893a) void runner_key(int code) {
    keys_mark_down(code);
    calc_key(code);
}

#endif
