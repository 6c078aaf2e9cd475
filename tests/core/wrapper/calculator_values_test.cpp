#include "core/wrapper/calculator_error.h"
#include "core/wrapper/calculator_family.h"
#include "core/wrapper/lcd_state.h"
#include "core/wrapper/utf8_text.h"
#include "core/tw.h"

#include <gtest/gtest.h>

namespace tw {

namespace {

TEST(CalculatorError, StatusNamesTheCase) {
    using Kind = CalculatorError::Kind;
    EXPECT_EQ(CalculatorError::fromStatus(-2, "m").kind(), Kind::firmware);
    EXPECT_EQ(CalculatorError::fromStatus(-3, "m").kind(), Kind::state);
    EXPECT_EQ(CalculatorError::fromStatus(-4, "m").kind(), Kind::fault);
    EXPECT_EQ(CalculatorError::fromStatus(-1, "m").kind(), Kind::argument);
    EXPECT_EQ(CalculatorError::fromStatus(-5, "m").kind(), Kind::argument);
    EXPECT_EQ(CalculatorError::fromStatus(-99, "m").kind(), Kind::argument);
}

TEST(CalculatorError, OnlyAFaultIsPrefixed) {
    const CalculatorError fault = CalculatorError::fault("bus fault at 0x30000000");
    EXPECT_EQ(fault.description(), "The emulated chip stopped: bus fault at 0x30000000");
    EXPECT_STREQ(fault.what(), "The emulated chip stopped: bus fault at 0x30000000");
    EXPECT_EQ(fault.message(), "bus fault at 0x30000000");
    EXPECT_EQ(CalculatorError::firmware("Not a firmware.").description(), "Not a firmware.");
    EXPECT_EQ(CalculatorError::state("").description(), "");
}

TEST(CalculatorError, EqualWhenCaseAndMessageAre) {
    EXPECT_EQ(CalculatorError::state("x"), CalculatorError::fromStatus(-3, "x"));
    EXPECT_FALSE(CalculatorError::state("x") == CalculatorError::argument("x"));
    EXPECT_FALSE(CalculatorError::state("x") == CalculatorError::state("y"));
}

TEST(CalculatorFamily, RawValues) {
    EXPECT_EQ(calculatorFamily(99), CalculatorFamily::multi);
    EXPECT_EQ(calculatorFamily(0), CalculatorFamily::none);
    EXPECT_EQ(calculatorFamily(16), CalculatorFamily::hp16c);
    EXPECT_EQ(calculatorFamily(13), std::nullopt);
    EXPECT_EQ(calculatorFamily(-12), std::nullopt);
}

TEST(LCDState, BlankIsTheDefault) {
    EXPECT_EQ(LCDState::blank(), LCDState{});
    EXPECT_EQ(&LCDState::blank(), &LCDState::blank());
    EXPECT_TRUE(LCDState::blank().text.empty());
    LCDState lit;
    lit.commas[9] = true;
    EXPECT_NE(lit, LCDState::blank());
}

TEST(LCDState, FromTheCoresRecord) {
    struct tw_lcd record{};
    record.segments[0] = 0x3F;
    record.segments[9] = 0x06;
    record.dots[2] = 7; // any non-zero byte lights it
    record.commas[4] = 1;
    record.minus = 2;
    record.flags = 0x1F;
    record.annunciators = uint64_t{1} << 63 | 1;
    const LCDState state = LCDState::fromRecord(record, std::string_view("-0.5\0junk", 9));
    EXPECT_EQ(state.segments[0], 0x3F);
    EXPECT_EQ(state.segments[9], 0x06);
    EXPECT_TRUE(state.dots[2]);
    EXPECT_FALSE(state.dots[3]);
    EXPECT_TRUE(state.commas[4]);
    EXPECT_TRUE(state.minus);
    EXPECT_EQ(state.annunciatorBits, uint64_t{1} << 63 | 1);
    EXPECT_EQ(state.text, "-0.5");
    const struct tw_lcd zero{};
    EXPECT_EQ(LCDState::fromRecord(zero, ""), LCDState::blank());
}

TEST(Utf8Text, InvalidSequencesAreReplaced) {
    EXPECT_EQ(utf8Repaired("12.5 \u03A3+"), "12.5 \u03A3+");
    EXPECT_EQ(utf8Repaired("a\xFF" "b"), "a\uFFFD" "b");
    EXPECT_EQ(utf8Repaired("\xC0\x80"), "\uFFFD\uFFFD");         // overlong
    EXPECT_EQ(utf8Repaired("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD"); // surrogate
    EXPECT_EQ(utf8Repaired("x\xE2\x82"), "x\uFFFD");             // cut short: one replacement
    EXPECT_EQ(utf8Repaired("\xE2\x82" "A"), "\uFFFD" "A");
    EXPECT_EQ(utf8Repaired("\xF4\x90\x80\x80"), "\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf8Repaired("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

} // namespace

} // namespace tw
