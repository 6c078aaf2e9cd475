// The run call: fetch, IT-block condition, budget, hooks, execute, IT advance,
// and the stop conditions (budget, stop address, WFI, hook, fault).
#include "core/cpu/decode.h"

#include <cstdio>
#include <vector>

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

namespace {

void undefinedInstruction(Exec& e, uint32_t hw1, uint32_t hw2) { undefined(e, hw1, hw2); }
void undefinedNarrow(Exec& e, uint32_t hw, uint32_t) { undefined(e, hw, 0); }

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
    for (uint32_t hw = 0; hw < 0xE800; ++hw) table[hw] = undefinedNarrow;
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

namespace tw::cpu {
namespace {

// The flash or RAM region that holds the PC: instructions are fetched from it
// directly while the PC stays inside.
struct CodeWindow {
    uint32_t base = 0, size = 0;
    const uint8_t* host = nullptr;

    // True when the four bytes at `a` lie in flash or RAM (the window then holds them).
    bool cover(const tw_cpu* c, uint32_t a) {
        size = 0;
        if (c->flash && a < c->flashSize) {
            base = 0, size = c->flashSize, host = c->flash;
        } else if (c->ram && a - 0x20000000u < c->ramSize) {
            base = 0x20000000u, size = c->ramSize, host = c->ram;
        }
        return a - base < size && size - (a - base) >= 4;
    }
};

// The hook filter as one unsigned comparison: pc - low <= span.
struct HookRange {
    uint32_t low = 0xFFFFFFFFu, span = 0;
    explicit HookRange(const tw_cpu* c) {
        if (c->hookCount > 0 && c->hookLow <= c->hookHigh) low = c->hookLow, span = c->hookHigh - c->hookLow;
    }
    bool contains(uint32_t pc) const { return pc - low <= span; } // the PC is even: never 0xFFFFFFFF
};

} // namespace
} // namespace tw::cpu

extern "C" int tw_cpu_run(tw_cpu* cpu, uint64_t budget, uint32_t stopPc) {
    using namespace tw::cpu;
    tw_cpu* c = cpu;
    c->faultFlag = 0;
    if (c->regs[15] == stopPc) return TW_RUN_STOP_PC;
    const Handler* table = dispatchTable();
    CodeWindow window;
    HookRange hooks(c);
    uint32_t pc = c->regs[15] & ~1u;
    auto leave = [&](int result) {
        c->regs[15] = pc;
        return result;
    };
    for (;;) {
        uint32_t hw1, hw2;
        uint32_t offset = pc - window.base;
        if (offset < window.size && window.size - offset >= 4) [[likely]] {
            uint32_t both;
            std::memcpy(&both, window.host + offset, 4);
            hw1 = both & 0xFFFF;
            hw2 = both >> 16;
        } else if (window.cover(c, pc)) {
            continue;
        } else { // through the bus, one halfword at a time
            c->regs[15] = pc;
            hw2 = 0;
            if (!fetch16(c, pc, &hw1)) return TW_RUN_FAULT;
            if (hw1 >= 0xE800 && !fetch16(c, pc + 2, &hw2)) return TW_RUN_FAULT;
        }
        uint32_t next = pc + (hw1 >= 0xE800 ? 4 : 2);
        bool inIt = (c->itState & 0xF) != 0;
        if (!inIt && budget == 0) return leave(TW_RUN_BUDGET); // an IT block is never cut

        if (hooks.contains(pc)) [[unlikely]] {
            c->regs[15] = pc;
            HookOutcome h = runHooks(c, pc);
            window.size = 0; // the action may have changed anything
            hooks = HookRange(c);
            if (h == HookOutcome::Stop) return leave(TW_RUN_HOOK);
            if (h == HookOutcome::Moved) {
                if (c->regs[15] == stopPc) return TW_RUN_STOP_PC;
                pc = c->regs[15] & ~1u;
                continue;
            }
        }

        if (inIt && !conditionPassed(c, c->itState >> 4)) { // skipped: costs neither budget nor count
            itAdvance(c);
            pc = next;
            if (pc == stopPc) return leave(TW_RUN_STOP_PC);
            continue;
        }

        if (budget) --budget;
        ++c->instructionCount;
        Exec e{c, pc, next, 0};
        table[hw1](e, hw1, hw2);
        if (e.events) [[unlikely]] {
            if (e.events & kEventFault) return leave(TW_RUN_FAULT);
            if (inIt && !(e.events & kEventItLoaded)) itAdvance(c);
            pc = e.next;
            if (e.events & kEventWfi) return leave(TW_RUN_WFI);
        } else {
            if (inIt) itAdvance(c);
            pc = e.next;
        }
        if (pc == stopPc) return leave(TW_RUN_STOP_PC);
    }
}
