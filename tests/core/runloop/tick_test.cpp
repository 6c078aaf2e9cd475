// Ticks, budgets, the idle test and the interrupt handlers, on our test firmware.
#include "machine_helpers.h"
#include "support/test_firmware.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tw::test;
using tw::test::Firmware;

constexpr uint32_t kClockWord = 0x2000085Cu;
constexpr uint32_t kScratchCode = 0x20006000u; // RAM our firmware does not use

class Ticks : public ::testing::Test {
protected:
    void SetUp() override {
        if (!tw::test::firmwareBuilt()) GTEST_SKIP() << "test firmware not built";
        m = tw::test::startedMachine(Firmware::Hp15c);
        ASSERT_TRUE(m);
        cpu = tw_machine_cpu(m.get());
    }

    // Stores Thumb halfwords in RAM and returns the address to call (Thumb bit set).
    uint32_t placeCode(std::initializer_list<uint16_t> halfwords) {
        uint32_t address = kScratchCode;
        for (uint16_t h : halfwords) {
            EXPECT_EQ(tw_bus_write_quiet(cpu, address, 2, h), 0);
            address += 2;
        }
        return kScratchCode | 1;
    }

    tw::test::MachinePtr m;
    tw_cpu* cpu = nullptr;
};

TEST_F(Ticks, RunLengthsAreWholeTicks) {
    const uint32_t cases[][2] = {{0, 10}, {9, 10}, {10, 10}, {25, 20}, {1000, 1000}};
    for (const auto& c : cases) {
        const Stats before = stats(m.get());
        ASSERT_EQ(tw_run(m.get(), c[0]), TW_OK);
        EXPECT_EQ(stats(m.get()).milliseconds - before.milliseconds, c[1]) << c[0] << " ms";
        EXPECT_EQ(stats(m.get()).idleTicks - before.idleTicks, c[1] / 10) << c[0] << " ms";
    }
    EXPECT_EQ(tw_busy_ticks(m.get()), 0u);
}

TEST_F(Ticks, RunNeedsTheWholeCalculator) {
    EXPECT_EQ(tw_run(nullptr, 10), TW_ERR_STATE);
    auto loaded = tw::test::loadedMachine(Firmware::Hp15c);
    EXPECT_EQ(tw_run(loaded.get(), 10), TW_ERR_STATE);
}

TEST_F(Ticks, WithoutInterrupt39NoHandlerRunsAndTheClockIsNotRead) {
    m->peripherals.irq39Enabled = 0;
    writeWord(m.get(), kClockWord, 4'000'000);
    const Stats before = stats(m.get());
    ASSERT_EQ(tw_run(m.get(), 50), TW_OK);
    EXPECT_EQ(stats(m.get()).milliseconds, before.milliseconds);
    EXPECT_EQ(stats(m.get()).idleTicks, before.idleTicks + 5);
    EXPECT_EQ(m->tickBudget, 360'000u);

    m->peripherals.irq39Enabled = 1;
    ASSERT_EQ(tw_run(m.get(), 10), TW_OK);
    EXPECT_EQ(m->tickBudget, 30'000u);
    writeWord(m.get(), kClockWord, 12'000'000);
    ASSERT_EQ(tw_run(m.get(), 10), TW_OK);
    EXPECT_EQ(m->tickBudget, 90'000u);
    writeWord(m.get(), kClockWord, 8'000'000); // not a clock the firmware uses: kept
    ASSERT_EQ(tw_run(m.get(), 10), TW_OK);
    EXPECT_EQ(m->tickBudget, 90'000u);
}

TEST_F(Ticks, PrimaskHoldsHandlersOnlyWhileTheMainLoopIsBusy) {
    ASSERT_EQ(tw_runner_key(m.get(), 30, 0), TW_OK); // ON
    cpu->primask = 1;
    Stats before = stats(m.get());
    ASSERT_EQ(tw_run(m.get(), 30), TW_OK); // idle: the handlers still run
    EXPECT_EQ(stats(m.get()).milliseconds, before.milliseconds + 30);
    cpu->primask = 0;

    // SST waits in the main loop until the key scan sees it released.
    ASSERT_EQ(tw_key_down(m.get(), 21), TW_OK);
    ASSERT_EQ(tw_run(m.get(), 100), TW_OK);
    ASSERT_EQ(tw_key_up(m.get(), 21), TW_OK);
    cpu->primask = 1;
    before = stats(m.get());
    ASSERT_EQ(tw_run(m.get(), 50), TW_OK);
    EXPECT_EQ(stats(m.get()).milliseconds, before.milliseconds); // busy: no handler, no scan
    EXPECT_EQ(stats(m.get()).idleTicks, before.idleTicks);
    EXPECT_GE(tw_busy_ticks(m.get()), 5u);

    cpu->primask = 0;
    ASSERT_EQ(tw_run(m.get(), 50), TW_OK); // the release is seen, the loop idles again
    EXPECT_EQ(tw_busy_ticks(m.get()), 0u);
    EXPECT_EQ(displayText(m.get()), "        21");
}

TEST_F(Ticks, HandlerFaultIsReportedAndTheMainRegistersComeBack) {
    ASSERT_EQ(tw_run(m.get(), 10), TW_OK);
    const uint32_t pc = cpu->regs[15], sp = cpu->regs[13];
    // str r0, [r1] with r1 = 0x30000000: nothing answers there.
    const uint32_t faulting = placeCode({0x2130, 0x0609, 0x6008, 0x4770});

    for (bool timer : {true, false}) {
        auto saved = timer ? m->timerHandler : m->periodicHandler;
        (timer ? m->timerHandler : m->periodicHandler) = faulting;
        EXPECT_EQ(tw_run(m.get(), 10), TW_ERR_FAULT);
        EXPECT_EQ(std::string(tw_last_error(m.get())).rfind("in interrupt: bus fault: write32 at 0x30000000", 0), 0u)
            << tw_last_error(m.get());
        EXPECT_EQ(m->peripherals.inInterrupt, 0u);
        EXPECT_EQ(cpu->regs[15], pc);
        EXPECT_EQ(cpu->regs[13], sp);
        EXPECT_EQ(tw_mode(m.get()), 1);
        (timer ? m->timerHandler : m->periodicHandler) = saved;
    }
}

TEST_F(Ticks, TimerStatusReadsOneInsideItsHandler) {
    // ldr r1, =0x40038008 (movw/movt); ldr r0, [r1]; str r0, [r2] with r2 = scratch result; bx lr
    const uint32_t result = kScratchCode + 0x100;
    writeWord(m.get(), result, 0xDEAD);
    m->timerHandler = placeCode({0xF248, 0x0108, 0xF2C4, 0x0103, // movw r1, #0x8008; movt r1, #0x4003
                                 0x6808,                         // ldr r0, [r1]
                                 0xF246, 0x1200, 0xF2C2, 0x0200, // movw r2, #0x6100; movt r2, #0x2000
                                 0x6010, 0x4770});               // str r0, [r2]; bx lr
    ASSERT_EQ(tw_run(m.get(), 10), TW_OK);
    EXPECT_EQ(tw_read_word(m.get(), result), 1u);
}

TEST_F(Ticks, IdleTestNeverLooksBeforeTheFile) {
    // A WFI halfword just before the file, and the main program stopped at 0x4000.
    ASSERT_EQ(tw_bus_write_quiet(cpu, 0x3FFE, 2, 0xBF30), 0);
    tw_cpu_add_hook(cpu, 0x4000, [](void*, uint32_t, void*) { return 1; }, nullptr);
    cpu->regs[15] = 0x4000;
    const Stats before = stats(m.get());
    ASSERT_EQ(tw_run(m.get(), 10), TW_OK);
    EXPECT_EQ(cpu->regs[15], 0x4000u);
    EXPECT_EQ(stats(m.get()).idleTicks, before.idleTicks);
    EXPECT_EQ(tw_busy_ticks(m.get()), 1u);
}

} // namespace
