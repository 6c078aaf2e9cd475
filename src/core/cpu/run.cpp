// The run call: fetch, IT-block condition, budget, hooks, execute, IT advance,
// and the stop conditions (budget, stop address, WFI, hook, fault).
#include "core/cpu/exec.h"

#include <cstdio>

namespace tw::cpu {

void fault(Exec& e, const char* text) {
    std::snprintf(e.cpu->faultText, sizeof e.cpu->faultText, "%s", text);
    e.cpu->faultFlag = 1;
    e.stop = true;
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

// First level of the 32-bit decode: op1 = hw1[12:11], op2 = hw1[10:4], op = hw2[15].
void execute32(Exec& e, uint32_t hw1, uint32_t hw2) {
    uint32_t op2 = (hw1 >> 4) & 0x7F;
    switch ((hw1 >> 11) & 3) {
    case 1:
        if ((op2 & 0x64) == 0x00) return loadStoreMultiple(e, hw1, hw2);         // 00xx0xx
        if ((op2 & 0x64) == 0x04) return loadStoreDualExclusiveTable(e, hw1, hw2); // 00xx1xx
        if ((op2 & 0x60) == 0x20) return dataProcessingShiftedRegister(e, hw1, hw2); // 01xxxxx
        return undefined(e, hw1, hw2);                                              // coprocessor
    case 2:
        if (hw2 & 0x8000) return branchesAndMiscellaneous(e, hw1, hw2);
        if (op2 & 0x20) return dataProcessingPlainImmediate(e, hw1, hw2);
        return dataProcessingModifiedImmediate(e, hw1, hw2);
    default:
        if ((op2 & 0x71) == 0x00 || (op2 & 0x67) == 0x01 || (op2 & 0x67) == 0x03 || (op2 & 0x67) == 0x05)
            return loadStoreSingle(e, hw1, hw2); // stores 000xxx0; loads 00xx001/011/101
        if ((op2 & 0x70) == 0x20) return dataProcessingRegister(e, hw1, hw2);      // 010xxxx
        if ((op2 & 0x78) == 0x30) return multiply(e, hw1, hw2);                    // 0110xxx
        if ((op2 & 0x78) == 0x38) return longMultiplyDivide(e, hw1, hw2);          // 0111xxx
        return undefined(e, hw1, hw2);
    }
}

namespace {

inline bool fetch16(tw_cpu* c, uint32_t address, uint32_t* out) {
    if (const uint8_t* p = direct(c, address, 2)) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        *out = v;
        return true;
    }
    *out = tw_bus_read(c, address, 2);
    return !c->faultFlag;
}

inline void itAdvance(tw_cpu* c) {
    c->itState = (c->itState & 7) == 0 ? 0 : uint8_t((c->itState & 0xE0) | ((c->itState << 1) & 0x1F));
}

enum class HookOutcome { Go, Stop, Moved };

HookOutcome runHooks(tw_cpu* c, uint32_t address) {
    int64_t count = c->hookCount < int64_t(TW_MAX_HOOKS) ? c->hookCount : int64_t(TW_MAX_HOOKS);
    for (int64_t i = 0; i < count; ++i) {
        if (c->hookAddress[i] != address) continue;
        if (!c->hookAction[i]) return HookOutcome::Go;
        int r = c->hookAction[i](c->busContext, address, c->hookContext[i]);
        return r == 1 ? HookOutcome::Stop : r == 2 ? HookOutcome::Moved : HookOutcome::Go;
    }
    return HookOutcome::Go;
}

} // namespace
} // namespace tw::cpu

extern "C" int tw_cpu_run(tw_cpu* cpu, uint64_t budget, uint32_t stopPc) {
    using namespace tw::cpu;
    tw_cpu* c = cpu;
    c->faultFlag = 0;
    if (c->regs[15] == stopPc) return TW_RUN_STOP_PC;
    for (;;) {
        uint32_t a = c->regs[15] & ~1u;
        c->regs[15] = a;
        bool inIt = inItBlock(c);
        bool skipped = inIt && !tw_cpu_condition(c, c->itState >> 4);

        uint32_t hw1, hw2 = 0;
        if (!fetch16(c, a, &hw1)) return TW_RUN_FAULT;
        bool wide = hw1 >= 0xE800;
        if (wide && !fetch16(c, a + 2, &hw2)) return TW_RUN_FAULT;

        if (!inIt && budget == 0) return TW_RUN_BUDGET;

        if (a >= c->hookLow && a <= c->hookHigh) [[unlikely]] {
            HookOutcome h = runHooks(c, a);
            if (h == HookOutcome::Stop) {
                c->regs[15] = a;
                return TW_RUN_HOOK;
            }
            if (h == HookOutcome::Moved) {
                if (c->regs[15] == stopPc) return TW_RUN_STOP_PC;
                continue;
            }
        }

        uint32_t next = a + (wide ? 4 : 2);
        if (skipped) {
            // Skipped: costs neither budget nor count.
            itAdvance(c);
            c->regs[15] = next;
            if (next == stopPc) return TW_RUN_STOP_PC;
            continue;
        }

        if (budget) --budget;
        ++c->instructionCount;
        Exec e{c, a, next, false, false, false};
        if (wide)
            execute32(e, hw1, hw2);
        else
            execute16(e, hw1);
        if (c->faultFlag) [[unlikely]] {
            c->regs[15] = a;
            return TW_RUN_FAULT;
        }
        if (!e.itLoaded && inIt) itAdvance(c);
        c->regs[15] = e.next;
        if (e.wfi) [[unlikely]] return TW_RUN_WFI;
        if (e.next == stopPc) return TW_RUN_STOP_PC;
    }
}
