#include "runtime/keys/key_chord.h"
#include "runtime/keys/key_latch.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tw {

// Readable failures.
void PrintTo(const KeyLatch::Action& action, std::ostream* os) {
    switch (action.kind) {
    case KeyLatch::Action::Kind::press: *os << "press " << action.code; break;
    case KeyLatch::Action::Kind::release: *os << "release " << action.code; break;
    case KeyLatch::Action::Kind::releaseLater:
        *os << "releaseLater [";
        for (size_t i = 0; i < action.codes.size(); ++i) *os << (i ? ", " : "") << action.codes[i];
        *os << "]";
        break;
    }
}

namespace {

using Action = KeyLatch::Action;
using Actions = KeyLatch::Actions;

Action press(int c) { return Action::press(c); }
Action release(int c) { return Action::release(c); }
Action later(std::vector<int> codes) { return Action::releaseLater(std::move(codes)); }

TEST(KeyLatch, FEnterOnByHand) {
    KeyLatch latch;
    EXPECT_EQ(latch.toggle(31), (Actions{press(31)}));
    EXPECT_EQ(latch.toggle(25), (Actions{press(25)}));
    EXPECT_EQ(latch.press(30), (Actions{press(30)}));
    EXPECT_EQ(latch.release(30), (Actions{release(30), later({25, 31})}));
    EXPECT_TRUE(latch.isEmpty());
    EXPECT_EQ(latch, KeyLatch());
}

TEST(KeyLatch, ToggledKeyStaysDownUntilToggledAgain) {
    KeyLatch latch;
    EXPECT_EQ(latch.toggle(25), (Actions{press(25)}));
    EXPECT_EQ(latch.release(25), Actions{});
    EXPECT_FALSE(latch.isEmpty());
    EXPECT_EQ(latch.toggle(25), (Actions{release(25)}));
    EXPECT_TRUE(latch.isEmpty());
    EXPECT_EQ(latch.release(25), (Actions{release(25)}));
}

TEST(KeyLatch, PressOnALatchedKeyReleasesAllAndSwallowsItsRelease) {
    KeyLatch latch;
    latch.toggle(31);
    latch.toggle(25);
    EXPECT_EQ(latch.press(25), (Actions{release(25), release(31)}));
    EXPECT_EQ(latch.swallow(), (std::set<int>{25}));
    EXPECT_EQ(latch.release(25), Actions{});
    EXPECT_TRUE(latch.swallow().empty());
    // The swallowing is used up: the next release goes through.
    EXPECT_EQ(latch.release(25), (Actions{release(25)}));
}

TEST(KeyLatch, SwallowOutlivesReleaseAll) {
    KeyLatch latch;
    latch.toggle(9);
    latch.press(9);
    latch.toggle(5);
    EXPECT_EQ(latch.releaseAll(), (Actions{release(5)}));
    EXPECT_EQ(latch.release(9), Actions{});
}

TEST(KeyLatch, HoldLatchesWithoutPressing) {
    KeyLatch latch;
    EXPECT_EQ(latch.hold(9), Actions{});
    EXPECT_EQ(latch.latched(), (std::set<int>{9}));
    EXPECT_EQ(latch.release(9), Actions{});
    EXPECT_EQ(latch.latched(), (std::set<int>{9}));
}

TEST(KeyLatch, ReleaseAllInAscendingOrder) {
    KeyLatch latch;
    latch.toggle(39);
    latch.toggle(5);
    latch.hold(32);
    EXPECT_EQ(latch.releaseAll(), (Actions{release(5), release(32), release(39)}));
    EXPECT_TRUE(latch.isEmpty());
    EXPECT_EQ(latch.releaseAll(), Actions{});
}

TEST(KeyLatch, PlainPressAndReleaseWithNothingLatched) {
    KeyLatch latch;
    EXPECT_EQ(latch.press(7), (Actions{press(7)}));
    EXPECT_EQ(latch.release(7), (Actions{release(7)}));
    EXPECT_TRUE(latch.isEmpty());
}

TEST(KeyChord, TextsKeysAndTitles) {
    ASSERT_EQ(KeyChord::allCases().size(), 7u);
    EXPECT_EQ(KeyChord::allCases().front(), KeyChord::serviceMenu);
    EXPECT_EQ(KeyChord::allCases().back(), KeyChord::radixMark);

    const KeyChord usb = KeyChord::usbMode;
    EXPECT_EQ(usb.title(), "USB Mode (f-ENTER-ON)");
    EXPECT_EQ(std::vector<int>(usb.keys().begin(), usb.keys().end()), (std::vector<int>{31, 25}));
    const KeyChord service = KeyChord::serviceMenu;
    EXPECT_EQ(std::vector<int>(service.keys().begin(), service.keys().end()), (std::vector<int>{32, 25}));
    EXPECT_EQ(KeyChord(KeyChord::memoryReset).title(), "Memory Reset (ON + \u2212)");
    EXPECT_EQ(KeyChord(KeyChord::selfTest).recipe(), "ON + \u00D7");
    EXPECT_EQ(KeyChord(KeyChord::keyboardTest).recipe(), "ON + \u00F7");
    EXPECT_EQ(KeyChord(KeyChord::radixMark).help(), "Switches the number display between 1,234.56 and 1.234,56.");
    EXPECT_EQ(KeyChord(KeyChord::selfTestLoop).keys().front(), 39);

    for (KeyChord chord : KeyChord::allCases()) {
        EXPECT_EQ(KeyChord::fromRawValue(chord.rawValue()), chord);
        EXPECT_EQ(chord.isDestructive(), chord == KeyChord::memoryReset) << chord.rawValue();
    }
    EXPECT_EQ(KeyChord::fromRawValue("ServiceMenu"), std::nullopt);
}

TEST(KeyChord, RadixMarkIsMissingOnlyOnTheProgrammer) {
    for (KeyChord chord : KeyChord::allCases()) {
        EXPECT_TRUE(chord.isAvailable(12));
        EXPECT_TRUE(chord.isAvailable(15));
        EXPECT_EQ(chord.isAvailable(16), chord != KeyChord::radixMark) << chord.rawValue();
    }
}

} // namespace

} // namespace tw
