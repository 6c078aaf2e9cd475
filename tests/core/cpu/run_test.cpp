// The run call's rules: stop address, budget, IT blocks, hooks, WFI and faults.
#include "core/cpu/bare_cpu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace tw {

namespace {

using tw::test::BareCpu;

constexpr uint16_t kNop = 0xBF00;

struct HookLog {
    int calls = 0;
    int result = 0;
    uint32_t jumpTo = 0;
    tw_cpu* cpu = nullptr;
};

int logHook(void*, uint32_t, void* context) {
    auto* log = static_cast<HookLog*>(context);
    ++log->calls;
    if (log->result == 2) log->cpu->regs[15] = log->jumpTo;
    return log->result;
}

TEST(CpuRun, StopAddressBeforeAnythingEvenWithoutBudget) {
    BareCpu m;
    m.cpu.regs[15] = 0x30000000; // would fault if fetched
    EXPECT_EQ(m.run(0, 0x30000000), TW_RUN_STOP_PC);
    EXPECT_EQ(m.cpu.instructionCount, 0u);
    EXPECT_EQ(m.cpu.faultFlag, 0u);
}

TEST(CpuRun, ZeroBudgetStillFetchesButRunsNoHookAndNothing) {
    BareCpu m;
    m.cpu.regs[15] = 0x30000000;
    EXPECT_EQ(m.run(0), TW_RUN_FAULT);
    EXPECT_STREQ(m.cpu.faultText, "bus fault: read16 at 0x30000000 (pc 0x30000000)");
    EXPECT_EQ(m.cpu.regs[15], 0x30000000u);

    HookLog log;
    tw_cpu_add_hook(&m.cpu, 0x1000, logHook, &log);
    m.code(0x1000, {0x2005}); // MOVS r0, #5
    m.cpu.regs[15] = 0x1000;
    EXPECT_EQ(m.run(0), TW_RUN_BUDGET);
    EXPECT_EQ(m.cpu.faultFlag, 0u); // cleared by the call
    EXPECT_EQ(log.calls, 0);
    EXPECT_EQ(m.cpu.regs[0], 0u);
    EXPECT_EQ(m.cpu.regs[15], 0x1000u);
}

TEST(CpuRun, AnItBlockIsNeverCutByTheBudget) {
    BareCpu m;
    m.code(0x1000, {0xBF04, 0x2001, 0x3002, kNop}); // ITT EQ; MOVEQ r0,#1; ADDEQ r0,#2
    m.cpu.regs[15] = 0x1000;
    m.cpu.flagZ = 1;
    EXPECT_EQ(m.run(2), TW_RUN_BUDGET);
    EXPECT_EQ(m.cpu.regs[15], 0x1006u);
    EXPECT_EQ(m.cpu.regs[0], 3u);
    EXPECT_EQ(m.cpu.instructionCount, 3u);
    EXPECT_EQ(m.cpu.itState, 0u);
    // Inside the block the 16-bit forms leave the flags alone.
    EXPECT_EQ(m.cpu.flagZ, 1u);
}

TEST(CpuRun, SkippedInstructionsCostNothingButHooksStillSeeThem) {
    BareCpu m;
    HookLog log;
    log.cpu = &m.cpu;
    tw_cpu_add_hook(&m.cpu, 0x1002, logHook, &log);
    m.code(0x1000, {0xBF1C, 0x2001, 0xF100, 0x0002, kNop, kNop}); // ITT NE; MOVNE r0,#1; ADDNE.W r0,r0,#2
    m.cpu.regs[15] = 0x1000;
    m.cpu.flagZ = 1;
    EXPECT_EQ(m.run(2), TW_RUN_BUDGET);
    EXPECT_EQ(m.cpu.regs[0], 0u);
    EXPECT_EQ(m.cpu.instructionCount, 2u); // IT and the first NOP
    EXPECT_EQ(m.cpu.regs[15], 0x100Au);
    EXPECT_EQ(log.calls, 1);
}

// The IT condition is taken before the hooks run: a hook that clears Z does not
// turn an executed EQ instruction into a skipped one.
TEST(CpuRun, AHookDoesNotChangeWhetherAnItInstructionIsSkipped) {
    BareCpu m;
    struct Flags {
        static int clearZ(void*, uint32_t, void* cpu) {
            static_cast<tw_cpu*>(cpu)->flagZ = 0;
            return 0;
        }
    };
    tw_cpu_add_hook(&m.cpu, 0x1002, Flags::clearZ, &m.cpu);
    m.code(0x1000, {0xBF08, 0x2001, kNop}); // IT EQ; MOVEQ r0, #1
    m.cpu.regs[15] = 0x1000;
    m.cpu.flagZ = 1;
    EXPECT_EQ(m.run(2), TW_RUN_BUDGET);
    EXPECT_EQ(m.cpu.regs[0], 1u);
    EXPECT_EQ(m.cpu.regs[15], 0x1004u);
    EXPECT_EQ(m.cpu.instructionCount, 2u);
}

TEST(CpuRun, HookResults) {
    BareCpu m;
    HookLog stop, jump;
    stop.result = 1;
    jump.result = 2;
    jump.cpu = &m.cpu;
    jump.jumpTo = 0x2000;
    tw_cpu_add_hook(&m.cpu, 0x1002, logHook, &stop);
    tw_cpu_add_hook(&m.cpu, 0x1002, logHook, &jump); // the first match only
    m.code(0x1000, {0x2001, 0x2002});
    m.cpu.regs[15] = 0x1000;
    EXPECT_EQ(m.run(10), TW_RUN_HOOK);
    EXPECT_EQ(m.cpu.regs[15], 0x1002u);
    EXPECT_EQ(m.cpu.regs[0], 1u);
    EXPECT_EQ(m.cpu.instructionCount, 1u);
    EXPECT_EQ(stop.calls, 1);
    EXPECT_EQ(jump.calls, 0);

    // Result 2: the hooked instruction is neither executed nor counted, and the
    // IT state does not advance; the new PC may be the stop address.
    BareCpu n;
    HookLog moved;
    moved.result = 2;
    moved.cpu = &n.cpu;
    moved.jumpTo = 0x2000;
    tw_cpu_add_hook(&n.cpu, 0x1000, logHook, &moved);
    n.code(0x1000, {0x2001});
    n.cpu.regs[15] = 0x1000;
    n.cpu.itState = 0x08; // one instruction left in an EQ block
    n.cpu.flagZ = 1;
    EXPECT_EQ(n.run(10, 0x2000), TW_RUN_STOP_PC);
    EXPECT_EQ(n.cpu.instructionCount, 0u);
    EXPECT_EQ(n.cpu.regs[0], 0u);
    EXPECT_EQ(n.cpu.itState, 0x08u);
}

TEST(CpuRun, WfiReturnsPastItselfAndTheNextCallGoesOn) {
    BareCpu m;
    m.code(0x1000, {0x2001, 0xBF30, 0x2002, 0xF3AF, 0x8003, 0x2003}); // ..., WFI, ..., WFI.W, ...
    m.cpu.regs[15] = 0x1000;
    EXPECT_EQ(m.run(100), TW_RUN_WFI);
    EXPECT_EQ(m.cpu.regs[15], 0x1004u);
    EXPECT_EQ(m.run(100), TW_RUN_WFI);
    EXPECT_EQ(m.cpu.regs[15], 0x100Au);
    EXPECT_EQ(m.cpu.regs[0], 2u);
    EXPECT_EQ(m.run(1), TW_RUN_BUDGET);
    EXPECT_EQ(m.cpu.regs[0], 3u);
    EXPECT_EQ(m.cpu.instructionCount, 5u);
}

TEST(CpuRun, StopAddressReachedByABranchOrBySkipping) {
    BareCpu m;
    m.code(0x1000, {0xE002, kNop, kNop, kNop, 0x2007}); // B 0x1008
    m.cpu.regs[15] = 0x1000;
    EXPECT_EQ(m.run(100, 0x1008), TW_RUN_STOP_PC);
    EXPECT_EQ(m.cpu.instructionCount, 1u);
    EXPECT_EQ(m.run(100, 0x1008), TW_RUN_STOP_PC); // already there
    EXPECT_EQ(m.cpu.instructionCount, 1u);
}

TEST(CpuRun, BudgetCountsExecutedInstructions) {
    BareCpu m;
    m.code(0x1000, {0xE7FE}); // B .
    m.cpu.regs[15] = 0x1000;
    EXPECT_EQ(m.run(12345), TW_RUN_BUDGET);
    EXPECT_EQ(m.cpu.instructionCount, 12345u);
}

TEST(CpuRun, ABusFaultLetsTheInstructionFinishAndKeepsTheFirstText) {
    BareCpu m;
    // LDM r0!, {r1, r2, r3} over the end of RAM: r1 loads, r2 and r3 fault and read 0.
    m.code(0x1000, {0xC80E});
    m.cpu.regs[15] = 0x1000;
    m.cpu.regs[0] = 0x2000FFFC;
    m.cpu.regs[2] = 0x55;
    tw_bus_write_quiet(&m.cpu, 0x2000FFFC, 4, 0xAABBCCDD);
    EXPECT_EQ(m.run(5), TW_RUN_FAULT);
    EXPECT_STREQ(m.cpu.faultText, "bus fault: read32 at 0x20010000 (pc 0x00001000)");
    EXPECT_EQ(m.cpu.regs[1], 0xAABBCCDDu);
    EXPECT_EQ(m.cpu.regs[2], 0u);
    EXPECT_EQ(m.cpu.regs[0], 0x20010008u);
    EXPECT_EQ(m.cpu.regs[15], 0x1000u);
    EXPECT_EQ(m.cpu.instructionCount, 1u);

    // STMIA r0!, {r1, r2}: the first store lands, the second faults.
    BareCpu s;
    s.code(0x1000, {0xC006});
    s.cpu.regs[15] = 0x1000;
    s.cpu.regs[0] = 0x2000FFFC;
    s.cpu.regs[1] = 0x12345678;
    EXPECT_EQ(s.run(5), TW_RUN_FAULT);
    EXPECT_EQ(s.word(0x2000FFFC), 0x12345678u);
    EXPECT_STREQ(s.cpu.faultText, "bus fault: write32 at 0x20010000 (pc 0x00001000)");
}

} // namespace

namespace {

TEST(CpuRun, RewrittenCodeIsNeverRunStale) {
    BareCpu m;
    // MOVS r0,#1; STRH r1,[r2]; MOVS r0,#2; BX lr -- the store rewrites the third
    // instruction, which lies in the same straight-line run.
    const uint32_t base = 0x20000100;
    auto start = [&](uint16_t patch) {
        m.code(base, {0x2001, 0x8011, 0x2002, 0x4770});
        m.cpu.regs[1] = patch;
        m.cpu.regs[2] = base + 4;
        m.cpu.regs[14] = 0x3001;
        m.cpu.regs[15] = base;
        return m.run(1000, 0x3000);
    };
    EXPECT_EQ(start(0x2002), TW_RUN_STOP_PC);
    EXPECT_EQ(m.cpu.regs[0], 2u);
    EXPECT_EQ(start(0x2007), TW_RUN_STOP_PC); // MOVS r0, #7 written just ahead
    EXPECT_EQ(m.cpu.regs[0], 7u);
    EXPECT_EQ(m.cpu.instructionCount, 8u);

    // The host rewrites code between two calls.
    m.code(0x1000, {0x2003, 0x4770});
    m.cpu.regs[15] = 0x1000;
    EXPECT_EQ(m.run(1000, 0x3000), TW_RUN_STOP_PC);
    EXPECT_EQ(m.cpu.regs[0], 3u);
    m.code(0x1000, {0x2004});
    m.cpu.regs[15] = 0x1000;
    EXPECT_EQ(m.run(1000, 0x3000), TW_RUN_STOP_PC);
    EXPECT_EQ(m.cpu.regs[0], 4u);
}

TEST(CpuRun, TwoMachinesOnOneThreadKeepTheirOwnCode) {
    BareCpu a, b;
    a.code(0x1000, {0x2011, 0x4770}); // MOVS r0, #0x11; BX lr
    b.code(0x1000, {0x2022, 0x4770}); // MOVS r0, #0x22; BX lr
    for (int round = 0; round < 3; ++round) {
        for (BareCpu* m : {&a, &b}) {
            m->cpu.regs[14] = 0x3001;
            m->cpu.regs[15] = 0x1000;
            EXPECT_EQ(m->run(10, 0x3000), TW_RUN_STOP_PC);
        }
        EXPECT_EQ(a.cpu.regs[0], 0x11u);
        EXPECT_EQ(b.cpu.regs[0], 0x22u);
    }
}

} // namespace

namespace {

// An IT instruction reached again from inside its own block (a branch in the
// middle of the block, which the architecture leaves unpredictable) must not
// make the IT rule run forever.
TEST(CpuRun, ReenteredItBlockStillEndsOnTheBudget) {
    BareCpu m;
    m.code(0x1000, {0xBF01, 0xE7FD}); // ITTTT EQ; B 0x1000 (taken inside the block)
    m.cpu.regs[15] = 0x1000;
    m.cpu.flagZ = 1;
    EXPECT_EQ(m.run(10), TW_RUN_BUDGET);
    EXPECT_LE(m.cpu.instructionCount, 14u);
}

} // namespace

namespace {

// Random code, half of it loads, stores and IT instructions, run once as the
// firmware runs (pre-decoded blocks) and once one instruction at a time (a hook
// range over all of memory keeps every instruction on the single-step path):
// results, registers, flags, counts, fault texts and memory agree, also where
// stores rewrite the code being run.
TEST(CpuRun, PreDecodedBlocksAgreeWithSingleSteps) {
    std::mt19937 rng(20261207);
    BareCpu blocks, steps;
    tw_cpu_add_hook(&steps.cpu, 0, [](void*, uint32_t, void*) { return 0; }, nullptr);
    tw_cpu_add_hook(&steps.cpu, 0x30000000, [](void*, uint32_t, void*) { return 0; }, nullptr);
    const tw_cpu hooked = steps.cpu;
    int mismatches = 0;
    for (int round = 0; round < 20000 && mismatches < 5; ++round) {
        std::vector<uint16_t> code(128);
        for (uint16_t& h : code) {
            uint32_t kind = rng() % 8;
            h = uint16_t(rng());
            if (kind < 4) h &= 0xBFFF;                               // mostly 16-bit
            if (kind == 0) h = uint16_t(0x6000 | (h & 0x1FFF));     // loads and stores
            if (kind == 1) h = uint16_t(0xBF00 | (h & 0xFF));       // IT and hints
        }
        uint32_t regs[15];
        for (uint32_t& r : regs) {
            switch (rng() % 4) {
            case 0: r = 0x20000100 + (rng() & 0xFE); break; // into the code in RAM
            case 1: r = 0x20000000 + (rng() & 0xFFFC); break;
            case 2: r = 0x1001 + (rng() & 0xFE); break;     // into the code in flash
            default: r = rng(); break;
            }
        }
        const uint32_t flags = rng();
        const uint64_t budget = 1 + rng() % 300;
        const uint32_t stopPc = rng() % 4 == 0 ? 0x1000 + (rng() & 0xFE) : 0xFFFFFFFF;
        int result[2];
        BareCpu* machines[2] = {&blocks, &steps};
        for (int i = 0; i < 2; ++i) {
            BareCpu& m = *machines[i];
            if (i == 0)
                tw_cpu_reset(&m.cpu);
            else
                m.cpu = hooked;
            std::fill(m.ram.begin(), m.ram.end(), 0);
            std::fill(m.flash.begin() + 0x1000, m.flash.begin() + 0x1100, 0);
            for (size_t k = 0; k < code.size(); ++k) {
                std::memcpy(m.flash.data() + 0x1000 + 2 * k, &code[k], 2);
                std::memcpy(m.ram.data() + 0x100 + 2 * k, &code[k], 2);
            }
            std::copy(std::begin(regs), std::end(regs), m.cpu.regs);
            m.cpu.flagN = flags & 1, m.cpu.flagZ = flags >> 1 & 1, m.cpu.flagC = flags >> 2 & 1;
            m.cpu.flagV = flags >> 3 & 1;
            m.cpu.regs[15] = (flags & 16) ? 0x20000100 : 0x1000;
            result[i] = m.run(budget, stopPc);
        }
        const tw_cpu &a = blocks.cpu, &b = steps.cpu;
        bool same = result[0] == result[1] && std::equal(a.regs, a.regs + 16, b.regs) && a.flagN == b.flagN &&
                    a.flagZ == b.flagZ && a.flagC == b.flagC && a.flagV == b.flagV && a.flagQ == b.flagQ &&
                    a.itState == b.itState && a.primask == b.primask && a.faultmask == b.faultmask &&
                    a.instructionCount == b.instructionCount && blocks.ram == steps.ram && blocks.flash == steps.flash &&
                    (result[0] != TW_RUN_FAULT || std::string(a.faultText) == b.faultText);
        if (!same && ++mismatches)
            ADD_FAILURE() << "round " << round << ": results " << result[0] << " and " << result[1] << ", pc "
                          << std::hex << a.regs[15] << " and " << b.regs[15] << std::dec << ", counts "
                          << a.instructionCount << " and " << b.instructionCount;
    }
}

} // namespace

} // namespace tw
