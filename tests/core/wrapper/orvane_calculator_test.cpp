#include "core/wrapper/orvane_calculator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tw {

namespace {

using Kind = CalculatorError::Kind;

template <typename Call>
CalculatorError thrown(Call&& call) {
    try {
        call();
    } catch (const CalculatorError& error) {
        return error;
    }
    ADD_FAILURE() << "nothing thrown";
    return CalculatorError::argument("<nothing thrown>");
}

// A file of the right size that starts with a vector table for 0x4000, but whose
// fingerprints match no firmware.
std::vector<uint8_t> unknownFirmware() {
    std::vector<uint8_t> bytes(114688, 0);
    const uint32_t stack = 0x20008000, reset = 0x4101;
    std::memcpy(bytes.data(), &stack, 4);
    std::memcpy(bytes.data() + 4, &reset, 4);
    return bytes;
}

TEST(OrvaneCalculator, RefusedFirmwareCarriesTheCoresText) {
    OrvaneCalculator calc;
    const CalculatorError empty = thrown([&] { calc.loadFirmware({}); });
    EXPECT_EQ(empty.kind(), Kind::firmware);
    EXPECT_EQ(empty.message(), tw_last_error(calc.handle()));
    EXPECT_NE(empty.message().find("file size"), std::string::npos) << empty.message();

    const std::vector<uint8_t> zeros(114688, 0);
    const CalculatorError noVectors = thrown([&] { calc.loadFirmware(zeros); });
    EXPECT_EQ(noVectors.kind(), Kind::firmware);
    EXPECT_NE(noVectors.message(), empty.message());

    const CalculatorError unknown = thrown([&] { calc.loadFirmware(unknownFirmware()); });
    EXPECT_EQ(unknown, CalculatorError::firmware(tw_last_error(calc.handle())));
    EXPECT_EQ(unknown.description(), unknown.message());

    EXPECT_EQ(calc.family(), CalculatorFamily::none);
    EXPECT_TRUE(calc.availableModels().empty());
    EXPECT_EQ(calc.model(), 0);
}

TEST(OrvaneCalculator, UnstartedMachineRefusesWithTheLastText) {
    OrvaneCalculator calc;
    const CalculatorError load = thrown([&] { calc.loadFirmware({}); });
    // The memory functions set no text of their own: the previous one comes along.
    const CalculatorError read = thrown([&] { calc.readMemory(); });
    EXPECT_EQ(read, CalculatorError::state(load.message()));
    const std::vector<uint8_t> memory(OrvaneCalculator::memorySize, 0);
    EXPECT_EQ(thrown([&] { calc.writeMemory(memory); }).kind(), Kind::state);
    EXPECT_EQ(thrown([&] { calc.run(0); }).kind(), Kind::state);
    EXPECT_EQ(calc.lcd(), LCDState::blank());
    EXPECT_EQ(calc.displayText(), "");
}

TEST(OrvaneCalculator, MemoryOfTheWrongSizeIsRefusedBeforeTheCore) {
    OrvaneCalculator calc;
    const std::vector<uint8_t> memory(2047, 0);
    const CalculatorError error = thrown([&] { calc.writeMemory(memory); });
    EXPECT_EQ(error, CalculatorError::argument("A memory file must be exactly 2048 bytes (this one is 2047)."));
    const std::vector<uint8_t> longer(4096, 0);
    EXPECT_EQ(thrown([&] { calc.writeMemory(longer); }).message(),
              "A memory file must be exactly 2048 bytes (this one is 4096).");
}

TEST(OrvaneCalculator, CheckTurnsStatusesIntoErrors) {
    OrvaneCalculator calc;
    EXPECT_NO_THROW(calc.check(0));
    EXPECT_NO_THROW(calc.check(3));
    const CalculatorError fault = thrown([&] { calc.check(TW_ERR_FAULT); });
    EXPECT_EQ(fault.kind(), Kind::fault);
    EXPECT_EQ(fault.description().rfind("The emulated chip stopped: ", 0), 0u);
    EXPECT_EQ(thrown([&] { calc.check(TW_ERR_RUNNER); }).kind(), Kind::argument);
}

TEST(OrvaneCalculator, StatusCallsNeverThrow) {
    OrvaneCalculator calc;
    EXPECT_EQ(calc.setBattery(4.01), TW_ERR_ARGUMENT);
    EXPECT_EQ(calc.setBattery(3.0), TW_OK);
    EXPECT_LT(calc.keyDown(40), 0);
    EXPECT_LT(calc.keyUp(40), 0);
    EXPECT_EQ(OrvaneCalculator::keyCode(99, "ENTER"), std::nullopt);
}

TEST(OrvaneCalculator, MovedFromInstanceHoldsNoMachine) {
    OrvaneCalculator first;
    tw_machine* machine = first.handle();
    OrvaneCalculator second = std::move(first);
    EXPECT_EQ(second.handle(), machine);
    EXPECT_EQ(first.handle(), nullptr); // NOLINT(bugprone-use-after-move): the point of the test
    EXPECT_EQ(thrown([&] { first.readMemory(); }), CalculatorError::argument("no calculator"));
    EXPECT_EQ(first.lcd(), LCDState::blank());

    OrvaneCalculator third;
    third = std::move(second); // frees third's own machine
    EXPECT_EQ(third.handle(), machine);
}

} // namespace

} // namespace tw
