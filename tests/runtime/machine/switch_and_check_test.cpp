// Model switching through the service menu of the multi-model test firmware, and
// the trial memory check with each of its outcomes. Each check boots a scratch
// machine: keep them few.
#include "runtime/machine/calculator_machine.h"
#include "runtime/support/firmware_calculator.h"

#include <gtest/gtest.h>

namespace tw {

namespace {

using namespace tw::test;
using tw::CalculatorMachine;
using tw::MemoryCheck;
using tw::SwitchError;

TEST(ModelSwitching, TheMultiModelFirmwareSwitchesToEachImage) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Multi);
    EXPECT_EQ(m->images(), (std::vector<int>{120, 150, 152, 160}));
    EXPECT_TRUE(m->canSwitchModels());
    EXPECT_EQ(m->variant(), 120);
    keys(*m, {k4, k2});

    // Key 1 picks the HP-15C, or the HP-12C while the HP-15C runs.
    for (int variant : {150, 120, 152, 160, 150}) {
        SCOPED_TRACE(variant);
        m->switchModel(variant);
        EXPECT_EQ(m->variant(), variant);
        EXPECT_EQ(m->model(), variant / 10);
        EXPECT_EQ(shown(*m), "0."); // a switch clears the memory; its "Pr Error" was cleared
        auto s = m->inspect();
        ASSERT_TRUE(s);
        EXPECT_EQ(s->variant, variant);
        EXPECT_EQ(s->stack.size(), variant == 120 ? 10u : 6u);
    }
    EXPECT_EQ(m->inspect()->registerCount, 20);

    m->switchModel(160);
    try {
        m->switchModel(120); // from the HP-16C, key 1 brings the HP-15C
        FAIL() << "no error";
    } catch (const SwitchError& e) {
        EXPECT_EQ(e, SwitchError::didNotSwitch(120, 150));
    }
    EXPECT_EQ(m->variant(), 150);
}

TEST(ModelSwitching, ASingleImageFirmwareHasNothingToSwitchTo) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    EXPECT_FALSE(m->canSwitchModels());
    EXPECT_THROW(m->switchModel(150), SwitchError);
    const auto before = m->simMs();
    m->performSwitch(160); // nothing to play
    EXPECT_EQ(m->simMs(), before);
}

TEST(ModelSwitching, AStateSavedOnAnotherImageIsRestoredThere) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Multi);
    m->switchModel(152);
    keys(*m, {k7, kSto, k2});
    const auto state = m->savedState(true);
    EXPECT_EQ(state.variant, 152);

    useTestFingerprints();
    CalculatorMachine fresh;
    fresh.load(firmware(Firmware::Multi));
    EXPECT_EQ(fresh.start(state), std::nullopt);
    EXPECT_EQ(fresh.variant(), 152);
    EXPECT_EQ(shown(fresh), "7.");
    EXPECT_EQ(fresh.inspect()->registers.at(2).number, 7);
    EXPECT_EQ(fresh.inspect()->registerCount, 116); // the doubled pool of the 15.2
}

TEST(MemoryCheck, EachOutcomeOnTheTestFirmware) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    keys(*m, {k4, k2});
    auto memory = m->readMemoryOff(false);
    const auto fw15 = firmware(Firmware::Hp15c);

    EXPECT_EQ(CalculatorMachine::checkMemory(memory, fw15, 150), MemoryCheck::fits("42."));

    auto damaged = memory;
    damaged[300] ^= 1; // the checksum no longer matches: the calculator throws it away
    EXPECT_EQ(CalculatorMachine::checkMemory(damaged, fw15, 150), MemoryCheck::rejected());

    // A memory that never held anything is laid out afresh at power-on.
    const auto blank = std::vector<uint8_t>(2048, 0);
    const auto check = CalculatorMachine::checkMemory(blank, fw15, 150);
    EXPECT_EQ(check.kind, MemoryCheck::Kind::changed);
    EXPECT_GT(check.bytes, 0);

    EXPECT_EQ(CalculatorMachine::checkMemory(memory, fw15, 160), MemoryCheck::unreadable()); // no such image
    EXPECT_EQ(CalculatorMachine::checkMemory(memory, std::vector<uint8_t>(1000), 150), MemoryCheck::unreadable());
    EXPECT_EQ(CalculatorMachine::checkMemory(std::vector<uint8_t>(2047), fw15, 150), MemoryCheck::wrongSize(2047));
}

TEST(MemoryCheck, AMemoryOfTheDoubledPoolNeedsThe152) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Multi);
    m->switchModel(152);
    const auto memory = m->readMemoryOff(false);
    const auto multi = firmware(Firmware::Multi);
    EXPECT_TRUE(CalculatorMachine::needsExtendedMemory(memory, multi, {120, 150, 152, 160}));
    EXPECT_FALSE(CalculatorMachine::needsExtendedMemory(memory, multi, {120, 150, 160}));
    EXPECT_EQ(CalculatorMachine::fittingVariants(memory, multi, {152, 160}), (std::vector<int>{152, 160}));
}

} // namespace

} // namespace tw
