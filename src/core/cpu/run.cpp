// The run call: fetch, IT-block condition, budget, hooks, execute, IT advance,
// and the stop conditions (budget, stop address, WFI, hook, fault).
#include "core/cpu/decode.h"

#include <cstdio>
#include <vector>

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

namespace {

void undefinedInstruction(Exec& e, uint32_t hw1, uint32_t hw2) { undefined(e, hw1, hw2); }

// Data processing and branches share their first halfwords; hw2[15] tells them apart.
template <Handler DataProcessing>
void dataOrBranch(Exec& e, uint32_t hw1, uint32_t hw2) {
    if (hw2 & 0x8000)
        branchesAndMiscellaneous(e, hw1, hw2);
    else
        DataProcessing(e, hw1, hw2);
}

std::vector<Handler> buildDispatchTable() {
    struct Compiled {
        uint32_t mask, value;
        Handler handler;
    };
    auto compile = [](const Encoding* rows, size_t count) {
        std::vector<Compiled> out;
        for (size_t i = 0; i < count; ++i) {
            uint32_t mask = 0, value = 0;
            for (int bit = 0; bit < 16; ++bit) {
                char ch = rows[i].pattern[bit];
                if (ch == '0' || ch == '1') {
                    mask |= 0x8000u >> bit;
                    if (ch == '1') value |= 0x8000u >> bit;
                }
            }
            out.push_back({mask, value, rows[i].handler});
        }
        return out;
    };
    std::vector<Compiled> narrow = compile(kThumb16, kThumb16Count), wide = compile(kThumb32, kThumb32Count);
    std::vector<Handler> table(0x10000, undefinedInstruction);
    for (uint32_t hw = 0; hw < 0x10000; ++hw)
        for (const Compiled& row : hw < 0xE800 ? narrow : wide)
            if ((hw & row.mask) == row.value) {
                table[hw] = row.handler;
                break;
            }
    return table;
}

} // namespace

// The first halfword of a 32-bit instruction picks its class:
const Encoding kThumb32[] = {
    {"1110100oo0WLnnnn", loadStoreMultiple},                         // LDM, STM (SRS, RFE undefined)
    {"1110100PU1WLnnnn", loadStoreDualExclusiveTable},               // LDRD, STRD, LDREX.., TBB, TBH
    {"1110101ooooSnnnn", dataProcessingShiftedRegister},             // AND.. RSB, PKH (shifted register)
    {"11110i0ooooSnnnn", dataOrBranch<dataProcessingModifiedImmediate>}, // or branches, miscellaneous
    {"11110i1ooooonnnn", dataOrBranch<dataProcessingPlainImmediate>},    // or branches, miscellaneous
    {"11111000sss0nnnn", loadStoreSingle},                           // STRB, STRH, STR
    {"1111100SU001nnnn", loadStoreSingle},                           // LDRB, LDRSB, PLD, PLI
    {"1111100SU011nnnn", loadStoreSingle},                           // LDRH, LDRSH
    {"1111100SU101nnnn", loadStoreSingle},                           // LDR
    {"11111010oooonnnn", dataProcessingRegister},                    // shifts, extends, REV.., CLZ, QADD
    {"111110110ooonnnn", multiply},                                  // MUL, MLA, MLS, SMULxy, SMLAxy
    {"111110111ooonnnn", longMultiplyDivide},                        // SMULL.., SDIV, UDIV
};
const size_t kThumb32Count = sizeof kThumb32 / sizeof kThumb32[0];

const Handler* dispatchTable() {
    static const std::vector<Handler> table = buildDispatchTable();
    return table.data();
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
    const Handler* table = dispatchTable();
    for (;;) {
        uint32_t a = c->regs[15] & ~1u;
        c->regs[15] = a;
        bool inIt = inItBlock(c);
        bool skipped = inIt && !conditionPassed(c, c->itState >> 4);

        // Fetch both halfwords at once where memory allows.
        uint32_t hw1, hw2 = 0;
        if (const uint8_t* p = direct(c, a, 4)) {
            uint32_t both;
            std::memcpy(&both, p, 4);
            hw1 = both & 0xFFFF;
            hw2 = both >> 16;
        } else {
            if (!fetch16(c, a, &hw1)) return TW_RUN_FAULT;
            if (hw1 >= 0xE800 && !fetch16(c, a + 2, &hw2)) return TW_RUN_FAULT;
        }
        bool wide = hw1 >= 0xE800;
        if (!wide) hw2 = 0;

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
        table[hw1](e, hw1, hw2);
        if (c->faultFlag) [[unlikely]] {
            c->regs[15] = a;
            return TW_RUN_FAULT;
        }
        if (inIt && !e.itLoaded) itAdvance(c);
        c->regs[15] = e.next;
        if (e.wfi) [[unlikely]] return TW_RUN_WFI;
        if (e.next == stopPc) return TW_RUN_STOP_PC;
    }
}
