// The machine's value types and the checks that need no running calculator.
#include "runtime/machine/calculator_machine.h"
#include "runtime/machine/base64.h"

#include <gtest/gtest.h>

#include <random>

namespace tw {

namespace {

using tw::CalculatorMachine;
using tw::MemoryCheck;
using tw::SavedState;
using tw::SwitchError;

TEST(MachineValues, VariantLabelsAndSwitchErrorTexts) {
    EXPECT_EQ(CalculatorMachine::variantLabel(120), "12C");
    EXPECT_EQ(CalculatorMachine::variantLabel(152), "15C (15.2)");
    EXPECT_EQ(CalculatorMachine::variantLabel(99), "99");
    EXPECT_STREQ(SwitchError::notInFirmware(160).what(), "This firmware has no 16C image.");
    EXPECT_STREQ(SwitchError::didNotSwitch(152, 150).what(),
                 "The calculator did not switch to the 15C (15.2); it is running as the 15C.");
}

TEST(MachineValues, Sha256HexIsTheStandardDigest) {
    EXPECT_EQ(tw::sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(tw::sha256Hex(abc), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(SavedStateFile, RoundTripsEveryByte) {
    SavedState state;
    state.memory.resize(2048);
    std::mt19937 random(7);
    for (auto& b : state.memory) b = uint8_t(random());
    state.variant = 152;
    state.firmwareID = std::string(64, 'a');
    auto back = SavedState::fromJSON(state.toJSON());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, state);
}

TEST(SavedStateFile, DamagedStatesAreNoStateAtAll) {
    const std::string good = SavedState{std::vector<uint8_t>(2048, 1), 150, "id"}.toJSON();
    EXPECT_TRUE(SavedState::fromJSON(good).has_value());
    // A memory of the wrong size must not block every later start.
    EXPECT_FALSE(SavedState::fromJSON(SavedState{std::vector<uint8_t>(2047), 150, "id"}.toJSON()));
    EXPECT_FALSE(SavedState::fromJSON(R"({"memory":"!!!!","variant":150,"firmwareID":"x"})"));
    EXPECT_FALSE(SavedState::fromJSON(R"({"variant":150,"firmwareID":"x"})"));
    EXPECT_FALSE(SavedState::fromJSON(R"({"memory":"","variant":"150","firmwareID":"x"})"));
    EXPECT_FALSE(SavedState::fromJSON("[]"));
    EXPECT_FALSE(SavedState::fromJSON("{"));
}

TEST(Base64, EncodesAndDecodesEveryRemainder) {
    for (size_t n = 0; n < 10; ++n) {
        std::vector<uint8_t> bytes(n);
        for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(0xF0 + i);
        auto text = tw::base64Encode(bytes);
        EXPECT_EQ(text.size() % 4, 0u);
        EXPECT_EQ(tw::base64Decode(text), bytes);
    }
    EXPECT_EQ(tw::base64Encode(std::vector<uint8_t>{'M', 'a'}), "TWE=");
    EXPECT_FALSE(tw::base64Decode("TWE"));
    EXPECT_FALSE(tw::base64Decode("T=E="));
}

TEST(MemoryChecks, WrongSizeAndNoDoubleMemoryAnswerWithoutAScratchMachine) {
    const std::vector<uint8_t> firmware; // never loaded: no scratch machine is built
    EXPECT_EQ(CalculatorMachine::checkMemory(std::vector<uint8_t>(2047), firmware, 150), MemoryCheck::wrongSize(2047));
    EXPECT_FALSE(CalculatorMachine::needsExtendedMemory(std::vector<uint8_t>(2048), firmware, {150, 160}));
    EXPECT_TRUE(CalculatorMachine::fittingVariants(std::vector<uint8_t>(2048), firmware, {}).empty());
    // A firmware the core refuses ends the check as unreadable, never as an error.
    EXPECT_EQ(CalculatorMachine::checkMemory(std::vector<uint8_t>(2048), firmware, 150), MemoryCheck::unreadable());
}

TEST(MachineKeys, KeysOutsideTheKeyboardAreRefused) {
    CalculatorMachine machine;
    machine.press(-1);
    machine.press(40);
    machine.releaseLater({-3, 41}, 0);
    machine.release(40);
    EXPECT_EQ(machine.simMs(), 0);
    EXPECT_FALSE(machine.inspect().has_value()); // not started
}

} // namespace

} // namespace tw
