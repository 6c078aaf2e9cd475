// The program runner (mode 0) and the HP-16C display words, on our HP-16C test firmware.
#include "machine_helpers.h"
#include "support/test_firmware.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tw::test;
using tw::test::Firmware;

constexpr int kF = 31, kSst = 21, kOne = 26, kTwo = 27;

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        if (!tw::test::firmwareBuilt()) GTEST_SKIP() << "test firmware not built";
        m = tw::test::startedMachine(Firmware::Hp16c, 0, 1);
        ASSERT_TRUE(m);
    }
    tw::test::MachinePtr m;
};

TEST_F(Runner, StartsWithOnAndTheClearKey) {
    EXPECT_EQ(tw_mode(m.get()), 0);
    EXPECT_EQ(displayText(m.get()), "0         "); // the display words hold no points in this text
    EXPECT_EQ(stats(m.get()).hookPasses, 1u);     // the clear key is one step; ON is none
    EXPECT_EQ(tw_ram_word_10(m.get()), 55332u);
    EXPECT_EQ(tw_read_word(m.get(), 0x20000018u), 2048u);
    uint64_t a = 0, b = 0;
    ASSERT_EQ(tw_runner_display(m.get(), &a, &b), TW_OK);
    EXPECT_EQ(a, uint64_t(tw_read_word(m.get(), tw::test::kDisplayWordA16c)) |
                     uint64_t(tw_read_word(m.get(), tw::test::kDisplayWordA16c + 4) & 0xFFFFFF) << 32);
    EXPECT_NE(a, 0u);
    EXPECT_EQ(b, 0u);

    struct tw_lcd record;
    ASSERT_EQ(tw_lcd(m.get(), &record), TW_OK);
    EXPECT_EQ(record.segments[0], 0x3F);
    EXPECT_EQ(record.dots[0], 1);
    char text[24];
    ASSERT_EQ(tw_lcd_text(&record, text, sizeof text), TW_OK);
    EXPECT_STREQ(text, "0.         ");
}

TEST_F(Runner, KeysRunTheFirmwaresKeyRoutine) {
    EXPECT_EQ(tw_runner_key(m.get(), kOne, 0), TW_OK);
    EXPECT_EQ(tw_runner_key(m.get(), kTwo, 0), TW_OK);
    EXPECT_EQ(displayText(m.get()), "12        ");
    EXPECT_EQ(stats(m.get()).hookPasses, 3u);
    EXPECT_EQ(tw_key_down(m.get(), kOne), TW_ERR_STATE); // no key matrix here
    EXPECT_EQ(tw_run(m.get(), 10), TW_ERR_STATE);
}

TEST_F(Runner, StuckKeyAfterAShiftRollsBackToBeforeTheShift) {
    ASSERT_EQ(tw_runner_key(m.get(), kOne, 0), TW_OK);
    std::string lastError = tw_last_error(m.get());
    const uint64_t passes = stats(m.get()).hookPasses;

    ASSERT_EQ(tw_runner_key(m.get(), kF, 0), TW_OK);
    EXPECT_EQ(m->shiftPending, 1u);
    EXPECT_EQ(tw_lcd_flags(m.get()), 1u); // f lit
    EXPECT_EQ(tw_runner_key(m.get(), kSst, 0), 2);
    EXPECT_EQ(m->shiftPending, 0u);
    EXPECT_EQ(displayText(m.get()), "1         "); // RAM is back to before f
    EXPECT_EQ(stats(m.get()).hookPasses, passes + 1); // f was a step; passes are not rolled back
    EXPECT_EQ(tw_last_error(m.get()), lastError);
    char status[16];
    ASSERT_EQ(tw_status_text(m.get(), status, sizeof status), TW_OK);
    EXPECT_STREQ(status, "        21"); // what the display showed while the key was stuck

    // The machine goes on from the rolled-back state.
    ASSERT_EQ(tw_runner_key(m.get(), kTwo, 0), TW_OK);
    EXPECT_EQ(displayText(m.get()), "12        ");
}

TEST_F(Runner, StuckKeyWithoutShiftIsReported) {
    EXPECT_EQ(tw_runner_key(m.get(), kSst, 0), TW_ERR_RUNNER);
    EXPECT_STREQ(tw_last_error(m.get()),
                 "key SST: the firmware is waiting for a timer or a key release (for example PSE in a program); "
                 "the runner cannot model that");
}

TEST_F(Runner, StartWithoutOnLeavesTheCalculatorOff) {
    auto off = tw::test::startedMachine(Firmware::Hp16c, 0, 0);
    ASSERT_TRUE(off);
    EXPECT_EQ(displayText(off.get()), "          ");
    EXPECT_EQ(stats(off.get()).hookPasses, 0u);
}

TEST_F(Runner, SetUpThatNeverReturnsIsAFailure) {
    auto hung = tw::test::loadedMachine(Firmware::Hp16c);
    ASSERT_TRUE(hung);
    hung->firmware[0x4894] = 0xFE; // b.n . at the runner's set-up entry
    hung->firmware[0x4895] = 0xE7;
    EXPECT_EQ(tw_start(hung.get(), 0, 0), TW_ERR_FAULT);
    EXPECT_STREQ(tw_last_error(hung.get()), "the program runner's start did not return (pc 0x00008894)");
}

TEST_F(Runner, FaultInTheKeyRoutineIsReported) {
    // The key routine's first instruction becomes a store to an address nothing serves.
    auto faulty = tw::test::loadedMachine(Firmware::Hp16c);
    ASSERT_TRUE(faulty);
    ASSERT_EQ(tw_start(faulty.get(), 0, 0), TW_OK);
    tw_cpu* cpu = tw_machine_cpu(faulty.get());
    const uint16_t code[] = {0x2130, 0x0609, 0x6008}; // movs r1, #0x30; lsls r1, #24; str r0, [r1]
    for (int i = 0; i < 3; ++i) ASSERT_EQ(tw_bus_write_quiet(cpu, 0x893A + 2 * i, 2, code[i]), 0);
    EXPECT_EQ(tw_runner_key(faulty.get(), kOne, 0), TW_ERR_FAULT);
    EXPECT_EQ(std::string(tw_last_error(faulty.get())).rfind("bus fault: write32 at 0x30000000", 0), 0u);
}

TEST(RunnerInCalculatorMode, KeyPressIsAPressAndARelease) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = tw::test::startedMachine(Firmware::Hp16c);
    ASSERT_TRUE(m);
    const Stats before = stats(m.get());
    ASSERT_EQ(tw_runner_key(m.get(), 30, 0), TW_OK);
    EXPECT_EQ(stats(m.get()).milliseconds, before.milliseconds + 350);
    EXPECT_EQ(m->onKey, 0u);
    ASSERT_EQ(tw_runner_key(m.get(), kOne, 0), TW_OK);
    EXPECT_EQ(m->keys[kOne], 0);
    EXPECT_EQ(displayText(m.get()), "1         "); // the HP-16C display words, read in mode 1 too
    EXPECT_EQ(stats(m.get()).hookPasses, 1u);       // the step routine is counted in mode 1 as well
    uint64_t a = 0;
    ASSERT_EQ(tw_runner_display(m.get(), &a, nullptr), TW_OK);
    EXPECT_NE(a, 0u);
}

TEST(RunnerDisplayWords, OutsideRamReadAsBlank) {
    TW_REQUIRE_TEST_FIRMWARE();
    // Mode 1: the firmware's display pointer moved past the end of RAM.
    auto m = tw::test::startedMachine(Firmware::Hp16c);
    ASSERT_TRUE(m);
    ASSERT_EQ(tw_runner_key(m.get(), 30, 0), TW_OK);
    ASSERT_EQ(tw_bus_write_quiet(tw_machine_cpu(m.get()), 0x20000014u, 4, 0x2000FFF0u), 0);
    EXPECT_EQ(displayText(m.get()), "          ");
    ASSERT_EQ(tw_bus_write_quiet(tw_machine_cpu(m.get()), 0x20000014u, 4, 0x40080000u), 0);
    EXPECT_EQ(displayText(m.get()), "          "); // never read through the peripherals

    // Mode 0: a display-offset byte that puts the words beyond the runner's 32 KB.
    auto far = tw::test::loadedMachine(Firmware::Hp16c);
    ASSERT_TRUE(far);
    far->firmware[0x1BF00] = 255;
    ASSERT_EQ(tw_start(far.get(), 0, 1), TW_OK);
    uint64_t a = 1, b = 1;
    ASSERT_EQ(tw_runner_display(far.get(), &a, &b), TW_OK);
    EXPECT_EQ(a, 0u);
    EXPECT_EQ(b, 0u);
    EXPECT_EQ(displayText(far.get()), "          ");
}

TEST(RunnerStart, OnlyForTheHp16c) {
    TW_REQUIRE_TEST_FIRMWARE();
    for (Firmware image : {Firmware::Hp15c, Firmware::Multi}) {
        auto m = tw::test::loadedMachine(image);
        ASSERT_TRUE(m);
        EXPECT_EQ(tw_start(m.get(), 0, 1), TW_ERR_STATE);
        EXPECT_EQ(tw_runner_key(m.get(), 1, 0), TW_ERR_STATE);
    }
    auto extended = tw::test::startedMachine(Firmware::Hp16cExtended, 0, 1);
    ASSERT_TRUE(extended);
    EXPECT_EQ(tw_extended_memory(extended.get()), 1u);
}

} // namespace
