// Starting our test firmware: identification of the images, the boot, the reset into a mode.
#include "machine_helpers.h"
#include "support/test_firmware.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace tw::test;
using tw::test::Firmware;

TEST(TestFirmware, OneFingerprintTableIdentifiesEveryImage) {
    TW_REQUIRE_TEST_FIRMWARE();
    struct Case {
        Firmware image;
        uint32_t family, modelCodeAfterStart;
        const char* description;
    } cases[] = {
        {Firmware::Hp15c, 15, 150, "HP-15C CE firmware"},
        {Firmware::Hp16c, 16, 160, "HP-16C CE firmware"},
        {Firmware::Hp16cExtended, 16, 160, "HP-16C CE firmware (extended memory)"},
        {Firmware::Multi, 99, 120, "HP-12C CE multi firmware (12C / 15C / 16C)"},
    };
    for (const Case& c : cases) {
        auto m = tw::test::loadedMachine(c.image);
        ASSERT_TRUE(m) << c.description;
        EXPECT_EQ(tw_family(m.get()), c.family);
        EXPECT_STREQ(tw_firmware_description(m.get()), c.description);
        ASSERT_EQ(tw_start(m.get(), 1, 0), TW_OK) << tw_last_error(m.get());
        EXPECT_EQ(tw_model_code(m.get()), c.modelCodeAfterStart) << c.description;
    }
    auto multi = tw::test::loadedMachine(Firmware::Multi);
    uint32_t models[8] = {};
    ASSERT_EQ(tw_firmware_models(multi.get(), models, 8), 4);
    EXPECT_EQ(models[0], 120u);
    EXPECT_EQ(models[1], 150u);
    EXPECT_EQ(models[2], 152u);
    EXPECT_EQ(models[3], 160u);
}

TEST(Start, RefusesWhatItCannotStart) {
    EXPECT_EQ(tw_start(nullptr, 1, 0), TW_ERR_ARGUMENT);

    tw::test::MachinePtr empty(tw_create());
    EXPECT_EQ(tw_start(empty.get(), 1, 0), TW_ERR_STATE);
    EXPECT_STREQ(tw_last_error(empty.get()), "no supported firmware loaded");

    TW_REQUIRE_TEST_FIRMWARE();
    auto m = tw::test::loadedMachine(Firmware::Hp15c);
    ASSERT_TRUE(m);
    EXPECT_EQ(tw_start(m.get(), 0, 1), TW_ERR_STATE);
    EXPECT_STREQ(tw_last_error(m.get()),
                 "the program runner needs an HP-16C CE firmware; use the whole-calculator engine");
    EXPECT_EQ(tw_mode(m.get()), -1);
    EXPECT_EQ(tw_start(m.get(), 2, 0), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_start(m.get(), -1, 0), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_mode(m.get()), -1);
}

TEST(Start, BootRunsThreeHundredMillisecondsOfIdleTicks) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = tw::test::startedMachine(Firmware::Hp15c);
    ASSERT_TRUE(m);
    EXPECT_EQ(tw_mode(m.get()), 1);
    Stats s = stats(m.get());
    EXPECT_EQ(s.milliseconds, 300u); // the firmware enables interrupt 39 in its first tick
    EXPECT_EQ(s.idleTicks, 30u);     // and reaches its WFI in every tick
    EXPECT_GT(s.instructions, 1000u);
    EXPECT_EQ(s.hookPasses, 0u);
    EXPECT_EQ(m->tickBudget, 360'000u); // the firmware's 48 MHz clock
    EXPECT_EQ(tw_busy_ticks(m.get()), 0u);
    EXPECT_EQ(tw_ram_word_10(m.get()), 0x1A000u); // the running 15C descriptor
    EXPECT_EQ(displayText(m.get()), "          ");  // starts switched off
}

TEST(Start, BatteryVoltageBecomesTheAdcReading) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = tw::test::loadedMachine(Firmware::Hp15c);
    ASSERT_TRUE(m);
    ASSERT_EQ(tw_start(m.get(), 1, 0), TW_OK);
    EXPECT_EQ(m->peripherals.adcValue, 3072u);
    ASSERT_EQ(tw_set_battery(m.get(), 4.0), TW_OK);
    ASSERT_EQ(tw_start(m.get(), 1, 0), TW_OK);
    EXPECT_EQ(m->peripherals.adcValue, 4096u);
}

TEST(Start, UnknownModeLeavesARunningCalculatorAlone) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = tw::test::startedMachine(Firmware::Hp15c);
    ASSERT_TRUE(m);
    ASSERT_EQ(tw_runner_key(m.get(), 30, 0), TW_OK); // ON
    ASSERT_EQ(tw_key_down(m.get(), 26), TW_OK);
    const Stats before = stats(m.get());

    EXPECT_EQ(tw_start(m.get(), 2, 0), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_mode(m.get()), 1);
    EXPECT_EQ(m->peripherals.irq39Enabled, 1u);
    EXPECT_EQ(m->peripherals.timerRunning, 1u);
    EXPECT_EQ(m->keys[26], 1u);
    EXPECT_EQ(stats(m.get()).milliseconds, before.milliseconds);

    ASSERT_EQ(tw_run(m.get(), 100), TW_OK); // the interrupts still run: the held key arrives
    EXPECT_EQ(stats(m.get()).milliseconds, before.milliseconds + 100);
    EXPECT_EQ(displayText(m.get()), padded("1"));
}

TEST(Start, ResetIntoAModeSetsTheMemoryMap) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = tw::test::loadedMachine(Firmware::Hp16c);
    ASSERT_TRUE(m);
    const auto& bytes = tw::test::firmwareBytes(Firmware::Hp16c);
    tw_cpu* cpu = tw_machine_cpu(m.get());

    tw_reset_mode(m.get(), 1);
    EXPECT_EQ(cpu->bus.flashSize, 256u * 1024);
    EXPECT_EQ(cpu->bus.ramSize, 64u * 1024);
    EXPECT_EQ(std::memcmp(cpu->bus.flash + 0x4000, bytes.data(), bytes.size()), 0);
    uint32_t word = 0;
    EXPECT_EQ(tw_bus_read_quiet(cpu, 0x00800000u, 4, &word), 0);
    EXPECT_EQ(word, 0xFFFFFFFFu); // the 4 KB window is filled
    EXPECT_EQ(cpu->hookCount, 0);

    EXPECT_EQ(tw_bus_write_quiet(cpu, 0x2000FFFCu, 4, 7), 0);
    tw_reset_mode(m.get(), 0);
    EXPECT_EQ(cpu->bus.flashSize, 128u * 1024);
    EXPECT_EQ(cpu->bus.ramSize, 32u * 1024);
    EXPECT_NE(tw_bus_read_quiet(cpu, 0x00800000u, 4, &word), 0); // no window in the runner
    EXPECT_EQ(m->ram[0xFFFC], 0);                                  // RAM starts over
}

} // namespace
