// Keys through the matrix and the display read back, on our test firmware.
#include "machine_helpers.h"
#include "support/test_firmware.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tw::test;
using tw::test::Firmware;

class KeysAndDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!tw::test::firmwareBuilt()) GTEST_SKIP() << "test firmware not built";
        m = tw::test::startedMachine(Firmware::Hp15c);
        ASSERT_TRUE(m);
    }

    void press(int code) { ASSERT_EQ(tw_runner_key(m.get(), code, 0), TW_OK) << code; }

    tw::test::MachinePtr m;
};

TEST_F(KeysAndDisplay, OnThroughPortOneTurnsTheCalculatorOnAndOff) {
    EXPECT_EQ(displayText(m.get()), "          ");
    ASSERT_EQ(tw_key_down(m.get(), 30), TW_OK);
    EXPECT_EQ(m->onKey, 1u);
    for (uint8_t key : m->keys) EXPECT_EQ(key, 0);
    EXPECT_EQ(tw_any_key_down(m.get()), 1u);
    ASSERT_EQ(tw_run(m.get(), 100), TW_OK);
    ASSERT_EQ(tw_key_up(m.get(), 30), TW_OK);
    EXPECT_EQ(tw_any_key_down(m.get()), 0u);
    ASSERT_EQ(tw_run(m.get(), 100), TW_OK);
    EXPECT_EQ(displayText(m.get()), "0.         ");
    press(30);
    EXPECT_EQ(displayText(m.get()), "          ");
}

TEST_F(KeysAndDisplay, DigitsAppearOnTheLcdAndInTheCapturedTexts) {
    press(30);
    const uint32_t textsBefore = tw_firmware_text_count(m.get());
    for (int code : {26, 27, 37, 17}) press(code); // 1 2 . 5
    EXPECT_EQ(displayText(m.get()), "12.5       ");
    EXPECT_EQ(lastFirmwareText(m.get()), "12.5");
    EXPECT_EQ(tw_firmware_text_count(m.get()), textsBefore + 4);

    struct tw_lcd record;
    ASSERT_EQ(tw_lcd(m.get(), &record), TW_OK);
    EXPECT_EQ(record.segments[0], 0x06);
    EXPECT_EQ(record.segments[1], 0x5B);
    EXPECT_EQ(record.dots[1], 1);
    EXPECT_EQ(record.segments[2], 0x6D);
    EXPECT_EQ(record.segments[3], 0x00);
    EXPECT_EQ(record.minus, 0);
    EXPECT_EQ(record.flags, 0u);

    press(24); // clears the entry
    EXPECT_EQ(displayText(m.get()), "0.         ");
    press(12); // a key without a digit shows its code
    EXPECT_EQ(displayText(m.get()), "        12");
}

TEST_F(KeysAndDisplay, ShiftKeysLightTheirAnnunciatorsUntilTheNextKey) {
    press(30);
    press(31);
    EXPECT_EQ(tw_lcd_flags(m.get()), 1u);
    struct tw_lcd record;
    ASSERT_EQ(tw_lcd(m.get(), &record), TW_OK);
    EXPECT_EQ(record.flags, 1u);
    EXPECT_EQ(record.annunciators, uint64_t(1) << 6);
    press(32);
    EXPECT_EQ(tw_lcd_flags(m.get()), 2u);
    press(26);
    EXPECT_EQ(tw_lcd_flags(m.get()), 0u);
    EXPECT_EQ(displayText(m.get()), "1         ");
}

TEST_F(KeysAndDisplay, ATenMillisecondTapIsLost) {
    press(30);
    ASSERT_EQ(tw_key_down(m.get(), 26), TW_OK);
    ASSERT_EQ(tw_run(m.get(), 10), TW_OK);
    ASSERT_EQ(tw_key_up(m.get(), 26), TW_OK);
    ASSERT_EQ(tw_run(m.get(), 200), TW_OK);
    EXPECT_EQ(displayText(m.get()), "0.         ");
    ASSERT_EQ(tw_key_down(m.get(), 26), TW_OK); // held for the 80 ms minimum
    ASSERT_EQ(tw_run(m.get(), 80), TW_OK);
    ASSERT_EQ(tw_key_up(m.get(), 26), TW_OK);
    ASSERT_EQ(tw_run(m.get(), 50), TW_OK);
    EXPECT_EQ(displayText(m.get()), "1         ");
}

TEST_F(KeysAndDisplay, SegmentMemoryIsReadWithoutDisturbingTheFirmware) {
    press(30);
    uint32_t words[8] = {};
    ASSERT_EQ(tw_lcd_ram(m.get(), words), TW_OK);
    // "0." lights digit 0's six segments (bits 65, 66, 129, 131, 193, 194) and its point (bit 3).
    EXPECT_EQ(words[0], 1u << 3);
    EXPECT_EQ(words[2], (1u << 1) | (1u << 2));
    EXPECT_EQ(words[4], (1u << 1) | (1u << 3));
    EXPECT_EQ(words[6], (1u << 1) | (1u << 2));
    for (int i = 0; i < 42; ++i) ASSERT_EQ(tw_lcd_ram(m.get(), words), TW_OK); // no repeated-read rule
    EXPECT_EQ(words[0], 1u << 3);
}

TEST_F(KeysAndDisplay, KeyCodesAreCheckedBeforeUse) {
    for (int code : {40, -1, -40, 1000}) {
        EXPECT_EQ(tw_key_down(m.get(), code), TW_ERR_ARGUMENT) << code;
        EXPECT_EQ(tw_key_up(m.get(), code), TW_ERR_ARGUMENT) << code;
        EXPECT_EQ(tw_runner_key(m.get(), code, 0), TW_ERR_ARGUMENT) << code;
    }
    EXPECT_EQ(tw_key_down(nullptr, 1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_any_key_down(m.get()), 0u);
    auto loaded = tw::test::loadedMachine(Firmware::Hp15c);
    EXPECT_EQ(tw_key_down(loaded.get(), 1), TW_ERR_STATE);
    EXPECT_EQ(tw_any_key_down(loaded.get()), 0u);
}

TEST_F(KeysAndDisplay, ReadOutNeedsAStartedMachine) {
    auto loaded = tw::test::loadedMachine(Firmware::Hp15c);
    struct tw_lcd record;
    uint32_t words[8];
    char buffer[16];
    EXPECT_EQ(tw_lcd(loaded.get(), &record), TW_ERR_STATE);
    EXPECT_EQ(tw_lcd(m.get(), nullptr), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_lcd_ram(loaded.get(), words), TW_ERR_STATE);
    EXPECT_EQ(tw_lcd_flags(loaded.get()), 0u);
    EXPECT_EQ(tw_display_text(loaded.get(), buffer, sizeof buffer), TW_ERR_STATE);
    EXPECT_EQ(tw_display_text(m.get(), buffer, 10), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_runner_display(m.get(), nullptr, nullptr), TW_ERR_STATE); // not an HP-16C
    EXPECT_EQ(tw_memory_ptr(loaded.get()), nullptr);
    EXPECT_EQ(tw_ram_word_10(loaded.get()), 0u);
    EXPECT_EQ(tw_status_text(m.get(), buffer, 10), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_status_text(m.get(), buffer, sizeof buffer), TW_OK);
    EXPECT_STREQ(buffer, "");
}

TEST_F(KeysAndDisplay, LastFirmwareTextFollowsItsBuffer) {
    press(30);
    for (int code : {26, 37, 27}) press(code); // "1.2"
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(tw_last_firmware_text(m.get(), buffer, 1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_last_firmware_text(m.get(), buffer, 2), TW_OK);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(tw_last_firmware_text(m.get(), buffer, 3), TW_OK);
    EXPECT_STREQ(buffer, "1");
    EXPECT_EQ(tw_last_firmware_text(m.get(), buffer, 4), TW_OK);
    EXPECT_STREQ(buffer, "1.");
    EXPECT_EQ(tw_last_firmware_text(m.get(), buffer, 8), TW_OK);
    EXPECT_STREQ(buffer, "1.2");
    EXPECT_EQ(tw_last_firmware_text(nullptr, buffer, 8), TW_ERR_ARGUMENT);
}

TEST_F(KeysAndDisplay, TextRingKeepsTheLatestOfManyTexts) {
    press(30);
    for (int i = 0; i < 70; ++i) press(i % 2 ? 26 : 24); // alternately clear and enter 1
    EXPECT_EQ(lastFirmwareText(m.get()), "1");
    EXPECT_GE(tw_firmware_text_count(m.get()), 71u);
}

} // namespace
