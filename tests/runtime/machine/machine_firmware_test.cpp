// The calculator machine end to end on our test firmware: power, key timing, the
// RPN stack as the decoders read it, saved states, program steps and chords.
#include "runtime/machine/calculator_machine.h"
#include "runtime/support/firmware_calculator.h"

#include <gtest/gtest.h>

namespace tw {

namespace {

using namespace tw::test;
using tw::CalculatorMachine;
using tw::InspectorSnapshot;

double stackValue(const InspectorSnapshot& s, const std::string& name) {
    for (const auto& r : s.stack)
        if (r.name == name) return r.number;
    ADD_FAILURE() << "no register " << name;
    return 0;
}

TEST(MachineOnFirmware, StartsOnWithAClearedMemoryAndTurnsOffAndOn) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    EXPECT_EQ(m->variant(), 150);
    EXPECT_EQ(m->model(), 15);
    EXPECT_EQ(shown(*m), "0.");
    EXPECT_FALSE(m->showsPrError());
    m->turnOff();
    EXPECT_TRUE(m->isDisplayBlank());
    m->turnOn();
    EXPECT_EQ(shown(*m), "0.");
}

TEST(MachineOnFirmware, ATenMillisecondTapIsHeldLongEnoughForTheFirmware) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    m->press(k1);
    m->run(10);
    m->release(k1); // too early: the release waits for the minimum hold
    m->run(200);
    EXPECT_EQ(shown(*m), "1");
    // The same tap straight to the core is lost: the firmware counts a key after three scans.
    m->calculator().keyDown(k2);
    m->calculator().run(10);
    m->calculator().keyUp(k2);
    m->run(200);
    EXPECT_EQ(shown(*m), "1");
}

TEST(MachineOnFirmware, KeysOutsideTheKeyboardNeverReachTheCore) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    for (int code : {-1, 40, 1 << 20}) m->press(code);
    EXPECT_EQ(tw_any_key_down(m->calculator().handle()), 0u);

    m->press(k1);
    m->releaseLater({k1, 77}, INT64_MAX); // never: the release time must not wrap around
    m->run(300);
    EXPECT_EQ(tw_any_key_down(m->calculator().handle()), 1u);
    EXPECT_EQ(shown(*m), "1");
    m->releaseAll();
    EXPECT_EQ(tw_any_key_down(m->calculator().handle()), 0u);
}

TEST(MachineOnFirmware, AKeyTheCoreRefusesThrowsAndLeavesTheBookkeepingAsItWas) {
    TW_REQUIRE_TEST_FIRMWARE();
    // Loaded but not started: the core has no key matrix to press.
    useTestFingerprints();
    CalculatorMachine loaded;
    loaded.load(firmware(Firmware::Hp15c));
    try {
        loaded.press(k1);
        ADD_FAILURE() << "a refused key down passed";
    } catch (const CalculatorError& e) {
        EXPECT_EQ(e.kind(), CalculatorError::Kind::state);
    }
    EXPECT_NO_THROW(loaded.releaseAll()); // the refused key was never recorded as down

    // Held long enough, then the core leaves the whole-calculator mode: the release
    // is refused, reported, and the key stays down so that a later release can retry.
    auto m = startedCalculator(Firmware::Hp16c);
    m->press(k1);
    m->run(200);
    ASSERT_EQ(tw_start(m->calculator().handle(), TW_MODE_RUNNER, 0), TW_OK);
    EXPECT_THROW(m->release(k1), CalculatorError);
    EXPECT_THROW(m->releaseAll(), CalculatorError);
    EXPECT_NO_THROW(m->releaseAll()); // the failed releaseAll still cleared every key
}

TEST(MachineOnFirmware, ReleasesWaitForTheMinimumHoldAndGoUpBetweenSlices) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    const auto down = [&] { return tw_any_key_down(m->calculator().handle()) != 0; };

    m->press(k1);
    m->release(k1);
    m->run(70);
    EXPECT_TRUE(down());
    m->run(10); // 80 ms held
    EXPECT_FALSE(down());

    m->press(k2);
    m->run(30);
    m->release(k2);
    m->press(k2); // cancels the pending release and starts the hold again
    m->release(k2);
    m->run(70);
    EXPECT_TRUE(down());
    m->run(10);
    EXPECT_FALSE(down());

    m->press(k3);
    m->run(100);
    m->releaseLater({k3}, 0); // not before the next slice
    EXPECT_TRUE(down());
    m->run(10);
    EXPECT_FALSE(down());
    EXPECT_EQ(shown(*m), "123");

    // Time passes in whole ticks of the core, but the clock counts what was asked.
    const auto ticks = [&] { return m->calculator().stats().periodicTicksTimesTen / 10; };
    auto before = ticks();
    const auto simBefore = m->simMs();
    m->run(5);
    EXPECT_EQ(ticks() - before, 1u);
    EXPECT_EQ(m->simMs() - simBefore, 5);
    before = ticks();
    m->run(25);
    EXPECT_EQ(ticks() - before, 3u);
    EXPECT_EQ(m->simMs() - simBefore, 30);

    // A core tap goes straight to the core: 720 ms pass, but a pending release waits
    // for the next slice.
    m->press(k4);
    m->release(k4);
    m->coreTap(kG);
    EXPECT_EQ(m->simMs() - simBefore, 750);
    EXPECT_TRUE(down());
    m->run(10);
    EXPECT_FALSE(down());
}

TEST(MachineOnFirmware, StackArithmeticShowsAndDecodesTheSameNumbers) {
    TW_REQUIRE_TEST_FIRMWARE();
    for (Firmware which : {Firmware::Hp15c, Firmware::Hp16c, Firmware::Multi}) {
        SCOPED_TRACE(int(which));
        auto m = startedCalculator(which);
        keys(*m, {k2, kEnter, k3, kPlus});
        EXPECT_EQ(shown(*m), "5.");
        auto s = m->inspect();
        ASSERT_TRUE(s);
        ASSERT_FALSE(s->stack.empty());
        EXPECT_EQ(s->stack[0].name, "X");
        EXPECT_EQ(s->stack[0].text, "5");
        EXPECT_EQ(s->stack[0].number, 5);
        EXPECT_EQ(stackValue(*s, "LAST X"), 3);

        keys(*m, {k4, kMultiply, k7, kEnter, k8, kDivide}); // 20, then 7 / 8
        EXPECT_EQ(shown(*m), "0.875");
        keys(*m, {kSwap});
        EXPECT_EQ(shown(*m), "20.");
        keys(*m, {kRollDown});
        s = m->inspect();
        EXPECT_EQ(stackValue(*s, "X"), 0.875);
        EXPECT_EQ(stackValue(*s, "T"), 20);
        keys(*m, {k1, kPoint, k5, kClear, kClear, k0, kDivide}); // clear the entry, then X; 0 / 0
        EXPECT_EQ(shown(*m), "Error 0");
        keys(*m, {kClear});
        EXPECT_EQ(shown(*m), "0.");
    }
}

TEST(MachineOnFirmware, NegativeAndLargeNumbersKeepTheirSignAndExponent) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    const int chs = 5;
    keys(*m, {k3, chs, kEnter, k1, k0, k0, k0, k0, k0, kMultiply}); // -3 × 100000
    EXPECT_EQ(m->displayText().substr(0, 8), "-300000.");
    keys(*m, {kEnter, kMultiply, kEnter, kMultiply}); // (-3e5)^4 = 8.1e21
    EXPECT_EQ(shown(*m), "8.1      21");
    auto s = m->inspect();
    EXPECT_EQ(s->stack[0].text, "8.1e21");
    EXPECT_FALSE(s->stack[0].isNegative);
}

TEST(MachineOnFirmware, StoredRegistersAndASavedStateSurviveAFreshStart) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    keys(*m, {k4, k2, kSto, k1, k9, kRcl, k1, kPlus});
    EXPECT_EQ(shown(*m), "51.");
    const auto state = m->savedState(false);
    EXPECT_TRUE(m->isDisplayBlank());
    EXPECT_EQ(state.variant, 150);
    EXPECT_EQ(state.firmwareID, m->firmwareID());
    const auto restored = tw::SavedState::fromJSON(state.toJSON());
    ASSERT_TRUE(restored);

    tw::test::useTestFingerprints();
    CalculatorMachine fresh;
    fresh.load(firmware(Firmware::Hp15c));
    EXPECT_EQ(fresh.start(*restored), std::nullopt);
    EXPECT_EQ(shown(fresh), "51.");
    auto s = fresh.inspect();
    ASSERT_TRUE(s);
    ASSERT_GE(s->registers.size(), 2u);
    EXPECT_EQ(s->registers[1].name, "R1");
    EXPECT_EQ(s->registers[1].number, 42);

    auto foreign = *restored;
    foreign.firmwareID = std::string(64, '0');
    CalculatorMachine other;
    other.load(firmware(Firmware::Hp15c));
    EXPECT_EQ(other.start(foreign),
              "The saved calculator memory belongs to another firmware; starting with a cleared memory.");
    EXPECT_EQ(shown(other), "0.");
}

TEST(MachineOnFirmware, ProgramStepsAreRecordedInEachModelsFormat) {
    TW_REQUIRE_TEST_FIRMWARE();
    struct Case {
        Firmware firmware;
        int shift;
        std::vector<std::string> mnemonics;
    };
    const Case cases[] = {
        {Firmware::Multi, kF, {"2", "ENTER", "3", "+", "STO 1"}},
        {Firmware::Hp15c, kG, {"2", "ENTER", "3", "+", "STO 1"}},
        {Firmware::Hp16c, kG, {"2", "ENTER", "3", "+", "STO 1"}},
        {Firmware::Hp16cExtended, kG, {"2", "ENTER", "3", "+", "STO 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.firmware));
        auto m = startedCalculator(c.firmware);
        keys(*m, {c.shift, kRunStop});
        EXPECT_TRUE(m->inspect()->programMode);
        keys(*m, {k2, kEnter, k3, kPlus, kSto, k1});
        keys(*m, {c.shift, kRunStop});
        EXPECT_EQ(shown(*m), "0."); // recording left the stack alone
        auto s = m->inspect();
        ASSERT_TRUE(s);
        EXPECT_FALSE(s->programMode);
        std::vector<std::string> mnemonics;
        for (const auto& line : s->program) mnemonics.push_back(line.mnemonic);
        if (s->model == 12) mnemonics.resize(5); // the HP-12C always lists its eight lines
        EXPECT_EQ(mnemonics, c.mnemonics);

        keys(*m, {k7, kSto, k2}); // registers lie where the decoder reads them, also with extended memory
        s = m->inspect();
        ASSERT_GE(s->registers.size(), 3u);
        EXPECT_EQ(s->registers[2].number, 7);
    }
}

TEST(MachineOnFirmware, AShiftedPressTapsTheShiftOnlyWhenItIsNotLit) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    const auto shiftedTap = [&](int shift, int code) {
        m->pressShifted(shift, code);
        m->run(10);
        m->release(code);
        m->run(200);
    };
    shiftedTap(kG, kRunStop); // g R/S: program mode
    EXPECT_TRUE(m->inspect()->programMode);
    key(*m, kG);
    EXPECT_TRUE(m->isShiftShown(kG));
    EXPECT_FALSE(m->isShiftShown(kF));
    shiftedTap(kG, kRunStop); // g is lit already: another g would put it out
    EXPECT_FALSE(m->inspect()->programMode);
}

TEST(MachineOnFirmware, ChordsResetTheMemoryAndTestTheDisplay) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    keys(*m, {k4, k2});
    m->play(KeyChord::memoryReset);
    EXPECT_TRUE(m->showsPrError());
    m->clearPrError();
    EXPECT_EQ(shown(*m), "0.");

    m->play(KeyChord::selfTest);
    const auto lcd = m->lcd();
    for (int d = 0; d < 10; ++d) EXPECT_EQ(lcd.segments[size_t(d)], 0x7F) << d;
    EXPECT_TRUE(lcd.minus);
    EXPECT_TRUE(m->isShiftShown(kF));
    EXPECT_TRUE(m->isShiftShown(kG));
    keys(*m, {kClear});
    EXPECT_EQ(shown(*m), "0.");
}

TEST(MachineOnFirmware, LatchedKeysDoNotTurnAMemoryLoadIntoAChord) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    keys(*m, {k4, k2});
    const auto memory = m->readMemoryOff(true);
    EXPECT_EQ(shown(*m), "42.");
    keys(*m, {kClear});

    m->press(kMinus); // latched on the face: with ON this is the memory reset
    m->run(200);
    m->loadMemory(memory);
    EXPECT_FALSE(m->showsPrError());
    EXPECT_EQ(shown(*m), "42.");

    m->press(kMinus); // on a running calculator also a subtraction: 0 - 42
    m->run(200);
    EXPECT_EQ(shown(*m), "-42.");
    const auto after = m->readMemoryOff(true);
    EXPECT_EQ(shown(*m), "-42.");
    EXPECT_NE(after, memory);
}

// A key pressed just before a load, not counted by the firmware yet: the load keeps
// it down for its minimum hold, then waits until the firmware has seen it up, before
// its own ON taps (let go of at once, it would be lost, or still down for the
// firmware when ON goes down).
TEST(MachineOnFirmware, AMemoryLoadLetsAKeyJustPressedCountAndBeSeenUpFirst) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    keys(*m, {k4, k2});
    const auto memory = m->readMemoryOff(true);
    int64_t before = m->simMs();
    m->loadMemory(memory);
    const int64_t loadAlone = m->simMs() - before;

    m->press(kClear);
    before = m->simMs();
    m->loadMemory(memory);
    EXPECT_EQ(m->simMs() - before, loadAlone + 2 * m->minimumHoldMs());
    EXPECT_TRUE(m->areKeysSettled());
    EXPECT_EQ(shown(*m), "42.");
}

TEST(MachineOnFirmware, APressIsReadyOnlyOnceEveryKeyBeforeItIsSeenOnItsOwn) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    EXPECT_TRUE(m->isReadyForPress());

    // The last press must have been down for the minimum hold; a key the user still
    // holds then makes a chord with the next press.
    m->press(k1);
    m->run(70);
    EXPECT_FALSE(m->isReadyForPress());
    m->run(10);
    EXPECT_TRUE(m->isReadyForPress());
    // Let go of: up at once, and the firmware must see it up for as long.
    m->release(k1);
    EXPECT_FALSE(m->isReadyForPress());
    m->run(70);
    EXPECT_FALSE(m->isReadyForPress());
    m->run(10);
    EXPECT_TRUE(m->isReadyForPress());

    // A quick tap of another key: its release waits for the hold (up at 80), then
    // the key must be seen up.
    m->press(k2);
    m->run(10);
    m->release(k2);
    m->run(140);
    EXPECT_FALSE(m->isReadyForPress());
    m->run(10);
    EXPECT_TRUE(m->isReadyForPress());

    // A latch that ends: its keys go up later, and a press waits for that too.
    m->press(kF);
    m->run(100);
    m->releaseLater({kF}, 200);
    m->run(190);
    EXPECT_FALSE(m->isReadyForPress());
    m->run(80);
    EXPECT_FALSE(m->isReadyForPress());
    m->run(10);
    EXPECT_TRUE(m->isReadyForPress());
    EXPECT_EQ(shown(*m), "12");
}

TEST(MachineOnFirmware, SettlingLetsGoOfEveryKeyAndWaitsUntilTheFirmwareSawThemUp) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    keys(*m, {k5, kEnter, k3});
    m->press(kMinus); // latched on the face 20 ms ago
    m->press(k9);     // and a tap whose release is late
    m->run(20);
    m->releaseLater({k9}, 1000);
    const int64_t before = m->simMs();
    m->settleKeys();
    EXPECT_TRUE(m->areKeysSettled());
    EXPECT_TRUE(m->isReadyForPress());
    EXPECT_EQ(m->simMs() - before, 140); // the rest of the hold, then as long up

    // Settled already: no time passes.
    m->settleKeys();
    EXPECT_EQ(m->simMs() - before, 140);
}

// Settling only what was let go of: a quick tap is counted and seen up, a key still
// held (latched on the face) stays down, so ON after it is still the chord.
TEST(MachineOnFirmware, SettlingWhatWasLetGoOfKeepsTheHeldKeysDown) {
    TW_REQUIRE_TEST_FIRMWARE();
    for (const bool releasedOnly : {true, false}) {
        auto m = startedCalculator(Firmware::Hp15c);
        m->press(k4);
        m->run(10);
        m->release(k4); // up only once its hold has passed
        m->settleReleasedKeys();
        EXPECT_TRUE(m->isReadyForPress());
        EXPECT_EQ(shown(*m), "4");

        m->press(kMinus); // latched
        const int64_t before = m->simMs();
        if (releasedOnly) {
            m->settleReleasedKeys();
            EXPECT_EQ(m->simMs() - before, 80); // the press seen, nothing more
            m->settleReleasedKeys();
            EXPECT_EQ(m->simMs() - before, 80);
        } else {
            m->settleKeys();
        }
        EXPECT_EQ(m->inspect()->stack.at(0).number, -4.0); // the latched press counted

        m->press(kOn);
        m->run(200);
        m->release(kOn);
        m->run(200);
        EXPECT_EQ(m->showsPrError(), releasedOnly) << shown(*m);
    }
}

TEST(MachineOnFirmware, GMemShowsThePoolAsTheDecoderReadsIt) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = startedCalculator(Firmware::Hp15c);
    const auto before = m->simMs();
    const std::string status = m->readMemStatus();
    EXPECT_EQ(m->simMs() - before, 720); // only the g tap counts: RCL's runs go straight to the core
    auto s = m->inspect();
    ASSERT_TRUE(s && s->pool);
    EXPECT_EQ(s->pool->gmem, "19 78 00-0");
    EXPECT_EQ(status.substr(0, 10), "19 78 00-0");
    EXPECT_EQ(shown(*m), "0."); // back once RCL went up
}

TEST(MachineOnFirmware, TheSameKeysGiveTheSameMemoryDisplayAndInstructionCount) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto a = startedCalculator(Firmware::Hp16c);
    auto b = startedCalculator(Firmware::Hp16c);
    for (auto* m : {a.get(), b.get()}) keys(*m, {k1, k2, kEnter, k3, kMultiply, kSto, k2});
    EXPECT_EQ(a->readMemory(), b->readMemory());
    EXPECT_EQ(a->lcd(), b->lcd());
    EXPECT_EQ(a->calculator().stats().instructions, b->calculator().stats().instructions);
    EXPECT_EQ(shown(*a), "36.");
}

} // namespace

} // namespace tw
