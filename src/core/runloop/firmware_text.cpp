// Texts the core keeps from the firmware (captured texts, the runner's status) and run statistics.
#include "core/machine.h"

#include <cstring>

extern "C" {

int tw_last_firmware_text(tw_machine* m, char* buffer, size_t size) {
    if (!m || !buffer || size < 2) return TW_ERR_ARGUMENT;
    buffer[0] = 0;
    if (m->textCount == 0 || size < 3) return TW_OK;
    const char* entry = m->textRing[(m->textCount - 1) % tw_machine::kTextRingSize];
    size_t n = 0;
    for (int pair = 0; pair < 10; ++pair) {
        if (n + 1 > size - 2) break;
        buffer[n++] = entry[2 * pair];
        char punct = entry[2 * pair + 1];
        if (punct == ',' || punct == '.') {
            if (n + 1 > size - 2) break;
            buffer[n++] = punct;
        }
    }
    while (n > 0 && buffer[n - 1] == ' ') --n;
    buffer[n] = 0;
    return TW_OK;
}

uint32_t tw_firmware_text_count(tw_machine* m) { return m ? m->textCount : 0; }

int tw_status_text(tw_machine* m, char* buffer, size_t size) {
    if (!m || !buffer || size < 11) return TW_ERR_ARGUMENT;
    size_t n = strnlen(m->statusText, sizeof m->statusText);
    if (n > size - 1) n = size - 1;
    std::memcpy(buffer, m->statusText, n);
    buffer[n] = 0;
    return TW_OK;
}

void tw_stats(tw_machine* m, uint64_t out[4]) {
    if (!m || !out) return;
    out[0] = m->cpu.instructionCount;
    out[1] = m->hookPasses;
    out[2] = m->tickCount * 10;
    out[3] = m->idleTicks;
}

} // extern "C"
