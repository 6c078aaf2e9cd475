// Fault texts of the interpreter: undefined encodings, SVC, BKPT and interworking.
#include "core/cpu/exec.h"

#include <cstdio>

namespace tw::cpu {

void fault(Exec& e, const char* text) {
    std::snprintf(e.cpu->faultText, sizeof e.cpu->faultText, "%s", text);
    e.cpu->faultFlag = 1;
    e.events |= kEventFault;
}

void undefined(Exec& e, uint32_t hw1, uint32_t hw2) {
    char text[TW_FAULT_TEXT_SIZE];
    std::snprintf(text, sizeof text, "undefined/unsupported instruction %04x %04x at 0x%08x", unsigned(hw1),
                  unsigned(hw2), unsigned(e.address));
    fault(e, text);
}

void loadPc(Exec& e, uint32_t value, PcLoad kind) {
    if (value & 1) {
        e.next = value & ~1u;
        return;
    }
    char text[TW_FAULT_TEXT_SIZE];
    switch (kind) {
    case PcLoad::Pop:
        std::snprintf(text, sizeof text, "POP pc to ARM state 0x%08x at 0x%08x", unsigned(value), unsigned(e.address));
        break;
    case PcLoad::Ldm: std::snprintf(text, sizeof text, "LDM pc to ARM state at 0x%08x", unsigned(e.address)); break;
    case PcLoad::Ldr: std::snprintf(text, sizeof text, "LDR pc to ARM state at 0x%08x", unsigned(e.address)); break;
    }
    fault(e, text);
}

} // namespace tw::cpu
