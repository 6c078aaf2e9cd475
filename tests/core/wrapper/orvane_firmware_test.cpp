// The wrapper on a running core with the project's own test firmware.
#include "core/wrapper/orvane_calculator.h"
#include "support/test_firmware.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tw {

namespace {

using tw::test::Firmware;

OrvaneCalculator loaded(Firmware which) {
    tw::test::useTestFingerprints();
    OrvaneCalculator calc;
    calc.loadFirmware(tw::test::firmwareBytes(which));
    return calc;
}

constexpr uint64_t kAnnunciatorF = uint64_t{1} << 6;

TEST(OrvaneFirmware, IdentifiesTheImages) {
    TW_REQUIRE_TEST_FIRMWARE();
    const OrvaneCalculator hp15 = loaded(Firmware::Hp15c);
    EXPECT_EQ(hp15.family(), CalculatorFamily::hp15c);
    EXPECT_EQ(hp15.model(), 15);
    EXPECT_FALSE(hp15.firmwareDescription().empty());

    const OrvaneCalculator multi = loaded(Firmware::Multi);
    EXPECT_EQ(multi.family(), CalculatorFamily::multi);
    EXPECT_EQ(multi.availableModels(), (std::vector<int>{120, 150, 152, 160}));
}

TEST(OrvaneFirmware, PowerOnKeysAndDisplay) {
    TW_REQUIRE_TEST_FIRMWARE();
    OrvaneCalculator calc = loaded(Firmware::Hp15c);
    calc.powerOn();
    calc.run(500);
    EXPECT_EQ(calc.displayText().find_first_not_of(' '), std::string::npos) << calc.displayText();

    calc.press(30, 100, 100);
    EXPECT_NE(calc.displayText().find("0."), std::string::npos) << calc.displayText();
    calc.press(26, 100, 100);
    calc.press(27, 100, 100);
    EXPECT_NE(calc.displayText().find("12"), std::string::npos) << calc.displayText();

    calc.press(31, 100, 100);
    const LCDState shifted = calc.lcd();
    EXPECT_NE(shifted.annunciatorBits & kAnnunciatorF, 0u);
    EXPECT_NE(shifted, LCDState::blank());
    calc.press(31, 100, 100);
    EXPECT_EQ(calc.lcd().annunciatorBits & kAnnunciatorF, 0u);
}

TEST(OrvaneFirmware, KeyStatusesComeBackUnthrown) {
    TW_REQUIRE_TEST_FIRMWARE();
    OrvaneCalculator calc = loaded(Firmware::Hp15c);
    calc.powerOn();
    EXPECT_LT(calc.keyDown(40), 0);
    EXPECT_EQ(calc.keyDown(26), TW_OK);
    EXPECT_EQ(tw_any_key_down(calc.handle()), 1u);
    EXPECT_EQ(calc.keyUp(26), TW_OK);
    EXPECT_EQ(tw_any_key_down(calc.handle()), 0u);
}

TEST(OrvaneFirmware, MemoryRoundTripAndStats) {
    TW_REQUIRE_TEST_FIRMWARE();
    OrvaneCalculator calc = loaded(Firmware::Hp16c);
    calc.powerOn();
    std::vector<uint8_t> memory(OrvaneCalculator::memorySize);
    std::iota(memory.begin(), memory.end(), uint8_t{7});
    calc.writeMemory(memory);
    EXPECT_EQ(calc.readMemory(), memory);

    const uint64_t before = calc.stats().instructions;
    calc.run(0); // one 10 ms tick at least
    EXPECT_GT(calc.stats().instructions, before);
}

TEST(OrvaneFirmware, KeyNamesOfTheCore) {
    EXPECT_EQ(OrvaneCalculator::keyCode(12, "%t"), 12);
    EXPECT_EQ(OrvaneCalculator::keyCode(16, "rdn"), 22);
    EXPECT_EQ(OrvaneCalculator::keyCode(15, "HEX"), std::nullopt);
}

} // namespace

} // namespace tw
