// The router on its own: held keys, repeats, Alt for the blue functions and the
// lone taps of Shift and Alt.
#include "runtime/catalog/calculator_model.h"
#include "ui/keyboard/hardware_key_router.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tw {
namespace {

using Log = std::vector<std::string>;
using Modifier = HardwareKeyRouter::Modifier;

class RouterTest : public ::testing::Test {
protected:
    void SetUp() override {
        router.model = []() -> const CalculatorModel& { return CalculatorModel::hp15c(); };
        router.press = [this](int code) { log.push_back("press " + std::to_string(code)); };
        router.pressShifted = [this](int shift, int code) {
            log.push_back("shifted " + std::to_string(shift) + " " + std::to_string(code));
        };
        router.release = [this](int code) { log.push_back("release " + std::to_string(code)); };
    }
    static KeyShortcut ch(char c) { return KeyShortcut::character(static_cast<char32_t>(c)); }

    HardwareKeyRouter router;
    Log log;
};

TEST_F(RouterTest, AHeldKeyPressesOnceAndRepeatsAreSwallowed) {
    EXPECT_TRUE(router.keyDown(16, ch('7'), false, false));
    EXPECT_TRUE(router.keyDown(16, ch('7'), true, false));
    EXPECT_TRUE(router.keyDown(16, ch('7'), false, false)); // already held
    EXPECT_TRUE(router.keyUp(16));
    EXPECT_FALSE(router.keyUp(16));
    EXPECT_EQ(log, (Log{"press 6", "release 6"}));
}

TEST_F(RouterTest, TwoDesktopKeysForOneCalculatorKeyEachReleaseIt) {
    router.keyDown(20, ch('x'), false, false);
    router.keyDown(21, ch('*'), false, false);
    router.keyUp(20);
    router.keyUp(21);
    EXPECT_EQ(log, (Log{"press 19", "press 19", "release 19", "release 19"}));
}

TEST_F(RouterTest, AltGivesTheBlueFunctionWhereThereIsOne) {
    router.keyDown(16, ch('7'), false, true);
    router.keyUp(16);
    // ON has no blue legend: pressed plainly.
    router.keyDown(9, KeyShortcut::special(SpecialKey::escape), false, true);
    router.keyUp(9);
    EXPECT_EQ(log, (Log{"shifted 32 6", "release 6", "press 30", "release 30"}));
}

TEST_F(RouterTest, UnknownKeysAndTheShiftKeysPassThrough) {
    EXPECT_FALSE(router.keyDown(40, ch('#'), false, false));
    EXPECT_FALSE(router.keyDown(41, KeyShortcut::special(SpecialKey::shift), false, false));
    EXPECT_TRUE(log.empty());
}

TEST_F(RouterTest, LoneShiftAndAltTapFAndG) {
    router.modifierChanged(Modifier::shift, true);
    router.modifierChanged(Modifier::shift, false);
    router.modifierChanged(Modifier::option, true);
    router.modifierChanged(Modifier::option, false);
    EXPECT_EQ(log, (Log{"press 31", "release 31", "press 32", "release 32"}));
    log.clear();
    // Both held and let go: both tap, in the order of release.
    router.modifierChanged(Modifier::shift, true);
    router.modifierChanged(Modifier::option, true);
    router.modifierChanged(Modifier::option, false);
    router.modifierChanged(Modifier::shift, false);
    EXPECT_EQ(log, (Log{"press 32", "release 32", "press 31", "release 31"}));
}

TEST_F(RouterTest, AModifierHeldAcrossAKeyTapsNothing) {
    router.modifierChanged(Modifier::shift, true);
    router.keyDown(13, ch('+'), false, false);
    router.keyUp(13);
    router.modifierChanged(Modifier::shift, false);
    // Also a key that is not the calculator's spoils the tap.
    router.modifierChanged(Modifier::option, true);
    router.keyDown(50, ch('#'), false, true);
    router.modifierChanged(Modifier::option, false);
    EXPECT_EQ(log, (Log{"press 39", "release 39"}));
}

TEST_F(RouterTest, AModifierPressedWhileAKeyIsHeldIsNoTap) {
    router.keyDown(21, ch('='), false, false);
    router.modifierChanged(Modifier::shift, true);
    router.keyUp(21);
    router.modifierChanged(Modifier::shift, false);
    EXPECT_EQ(log, (Log{"press 25", "release 25"}));
}

TEST_F(RouterTest, ReleaseAllLetsGoOfEverythingAndForgetsTheModifiers) {
    router.keyDown(16, ch('7'), false, false);
    router.keyDown(17, ch('8'), false, false);
    router.modifierChanged(Modifier::option, true);
    router.releaseAllAndForgetModifiers();
    EXPECT_TRUE(router.held().empty());
    EXPECT_FALSE(router.lone(Modifier::option));
    router.modifierChanged(Modifier::option, false); // its release came late: no tap
    EXPECT_EQ(log, (Log{"press 6", "press 7", "release 6", "release 7"}));
}

} // namespace
} // namespace tw
