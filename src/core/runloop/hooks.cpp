// Address hooks that the run modes install: skip a routine, count steps, capture texts.
#include "core/runloop/run_loop.h"

extern "C" {

int tw_hook_return(void* machine, uint32_t, void*) {
    tw_cpu& cpu = static_cast<tw_machine*>(machine)->cpu;
    cpu.regs[15] = cpu.regs[14] & ~1u;
    return 2;
}

int tw_hook_step_limit(void* machine, uint32_t, void*) {
    auto* m = static_cast<tw_machine*>(machine);
    ++m->hookPasses;
    return m->hookPasses > m->passLimit ? 1 : 0;
}

// The anchor routine takes r0 = ten character/punctuation pairs; keep a copy of them.
int tw_hook_capture_text(void* machine, uint32_t, void*) {
    auto* m = static_cast<tw_machine*>(machine);
    char* entry = m->textRing[m->textCount % tw_machine::kTextRingSize];
    uint32_t address = m->cpu.regs[0];
    for (int i = 0; i < tw_machine::kTextEntrySize - 1; ++i) {
        uint32_t byte = 0;
        if (tw_bus_read_quiet(&m->cpu, address + uint32_t(i), 1, &byte) != 0) byte = 0;
        entry[i] = char(byte);
    }
    entry[tw_machine::kTextEntrySize - 1] = 0;
    ++m->textCount;
    return 0;
}

} // extern "C"
