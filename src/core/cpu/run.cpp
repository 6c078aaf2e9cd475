// The run call: fetch, IT-block condition, budget, hooks, execute, IT advance,
// and the stop conditions (budget, stop address, WFI, hook, fault). Straight-line
// code away from hooks and the stop address runs from the block cache; every
// other instruction takes the single-step path, which follows the rules one by one.
#include "core/cpu/block_cache.h"
#include "core/cpu/decode.h"

namespace tw::cpu {
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
        int r = c->hookAction[i](c->bus.context, address, c->hookContext[i]);
        return r == 1 ? HookOutcome::Stop : r == 2 ? HookOutcome::Moved : HookOutcome::Go;
    }
    return HookOutcome::Go;
}

// The flash or RAM region that holds the PC: instructions are fetched from it
// directly while the PC stays inside.
struct CodeWindow {
    uint32_t base = 0, size = 0;
    const uint8_t* host = nullptr;

    // True when the four bytes at `a` lie in flash or RAM (the window then holds them).
    bool cover(const tw_cpu* c, uint32_t a) {
        const MemoryRegion region = regionOf(c, a);
        base = region.base, size = region.size, host = region.host;
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
    bool overlaps(uint32_t start, uint32_t bytes) const {
        return uint64_t(low) < uint64_t(start) + bytes && start <= uint64_t(low) + span;
    }
};

// Runs a block until its end, a taken branch or an event; returns the number of
// instructions executed. For blocks without IT instructions, entered outside an
// IT block. Kept out of line so that its loop gets registers of its own.
[[gnu::noinline]] uint32_t runPlain(Exec& e, const Block& b) {
    const Op* op = b.ops;
    for (const Op* end = op + b.count;;) {
        e.next = op->next;
        op->handler(e, op->hw1, op->hw2);
        if (e.events | (e.next ^ op->next)) [[unlikely]]
            return uint32_t(op - b.ops) + 1;
        e.address = op->next;
        if (++op == end) return b.count;
    }
}

// The same with IT blocks: skipped instructions cost nothing, the state advances.
uint32_t runWithIt(Exec& e, const Block& b) {
    tw_cpu* c = e.cpu;
    uint32_t executed = 0;
    for (const Op *op = b.ops, *end = op + b.count; op != end; ++op) {
        e.next = op->next;
        if (!(c->itState & 0xF)) {
            op->handler(e, op->hw1, op->hw2);
            ++executed;
            if (e.events | (e.next ^ op->next)) {
                if (e.events != kEventItLoaded || e.next != op->next) break;
                e.events = 0;
            }
        } else if (!conditionPassed(c, c->itState >> 4)) {
            itAdvance(c);
        } else {
            op->handler(e, op->hw1, op->hw2);
            ++executed;
            if (e.events & kEventFault) break;
            if (!(e.events & kEventItLoaded)) itAdvance(c);
            e.events &= ~kEventItLoaded;
            if (e.events | (e.next ^ op->next)) break;
        }
        e.address = op->next;
    }
    return executed;
}

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
    uint32_t overdraft = 0; // instructions run inside an IT block after the budget ran out
    auto leave = [&](int result) {
        c->regs[15] = pc;
        return result;
    };
    BlockCache& cache = threadBlockCache();
    cache.newGeneration(); // the host may have written memory since the last call
    struct Claim {
        BlockCache& cache;
        bool nested = cache.busy;
        explicit Claim(BlockCache& c) : cache(c) { cache.busy = true; }
        ~Claim() { cache.busy = nested; }
    } claim(cache);
    for (;;) {
        // Straight-line code runs pre-decoded, a block at a time, when the budget
        // covers the block and no hook or stop address lies inside it.
        if (budget != 0 && !claim.nested) {
            const Block* b = cache.find(c, pc);
            if (b && b->count <= budget && !hooks.overlaps(pc, b->bytes) && stopPc - pc - 1 >= b->bytes - 1) {
                Exec e{c, pc, pc, 0, cache.codeLow(), cache.codeSpan()};
                uint32_t executed = (b->hasIt || (c->itState & 0xF)) ? runWithIt(e, *b) : runPlain(e, *b);
                c->instructionCount += executed;
                budget -= executed;
                if (e.events) [[unlikely]] {
                    if (e.events & kEventFault) {
                        pc = e.address;
                        return leave(TW_RUN_FAULT);
                    }
                    if (e.events & kEventCodeWritten) cache.newGeneration();
                    pc = e.next;
                    if (e.events & kEventWfi) return leave(TW_RUN_WFI);
                } else {
                    pc = e.next;
                }
                if (pc == stopPc) return leave(TW_RUN_STOP_PC);
                continue;
            }
        }

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
        // The condition is taken before any hook runs: a hook that changes the
        // flags does not change whether this instruction is skipped.
        bool skipped = inIt && !conditionPassed(c, c->itState >> 4);
        // An IT block is never cut by the budget. An IT block holds at most four
        // instructions, so at most four run beyond it: code that re-enters an IT
        // instruction from inside its own block would otherwise never stop.
        if (budget == 0 && (!inIt || overdraft >= 4)) return leave(TW_RUN_BUDGET);

        if (hooks.contains(pc)) [[unlikely]] {
            c->regs[15] = pc;
            HookOutcome h = runHooks(c, pc);
            window.size = 0; // the action may have changed anything
            cache.newGeneration();
            hooks = HookRange(c);
            if (h == HookOutcome::Stop) return leave(TW_RUN_HOOK);
            if (h == HookOutcome::Moved) {
                if (c->regs[15] == stopPc) return TW_RUN_STOP_PC;
                pc = c->regs[15] & ~1u;
                continue;
            }
        }

        if (skipped) { // costs neither budget nor count
            itAdvance(c);
            pc = next;
            if (pc == stopPc) return leave(TW_RUN_STOP_PC);
            continue;
        }

        if (budget)
            --budget;
        else
            ++overdraft;
        ++c->instructionCount;
        Exec e{c, pc, next, 0, cache.codeLow(), cache.codeSpan()};
        table[hw1](e, hw1, hw2);
        if (e.events) [[unlikely]] {
            if (e.events & kEventFault) return leave(TW_RUN_FAULT);
            if (e.events & kEventCodeWritten) cache.newGeneration();
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
