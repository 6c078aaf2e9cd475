// Small accessors that the memory decoders use to reach the running machine.
#include "core/machine.h"

extern "C" {

uint8_t* tw_memory_ptr(tw_machine* m) {
    if (!m || m->mode == TW_MODE_NONE || !m->ram) return nullptr;
    return m->ram.get() + 24; // the memory image at 0x20000018
}

uint32_t tw_ram_word_10(tw_machine* m) {
    if (!m) return 0;
    if (m->mode == TW_MODE_RUNNER) return 55332; // what the runner start writes there
    if (m->mode != TW_MODE_CALCULATOR) return 0;
    uint32_t value = 0;
    tw_bus_read_quiet(&m->cpu, 0x20000010u, 4, &value);
    return value;
}

uint32_t tw_busy_ticks(tw_machine* m) { return m && m->mode == TW_MODE_CALCULATOR ? m->busyTicks : 0; }

} // extern "C"
