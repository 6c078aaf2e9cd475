// Decimal register words as the calculator shows them.
#include "core/decode/register_value.h"
#include "core/decode/image_builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tw::decode {
namespace {

using testing::bcd;

tw_register decimal(uint64_t word)
{
    tw_register r{};
    formatDecimal(word, r);
    return r;
}

struct DecimalCase {
    const char* digits;
    int exponent;
    bool negative;
    const char* text;
    double number;
};

TEST(DecimalRegister, ShowsEveryExponentRangeAsTheCalculatorDoes)
{
    const DecimalCase cases[] = {
        {"15", 2, false, "150", 150.0},
        {"15", 0, false, "1.5", 1.5},
        {"12345", 2, false, "123.45", 123.45},
        {"15", 9, false, "1500000000", 1.5e9},
        {"15", 10, false, "1.5e10", 1.5e10},
        {"15", -1, false, "0.15", 0.15},
        {"15", -3, false, "0.0015", 0.0015},
        {"15", -5, false, "0.000015", 1.5e-5},
        {"15", -6, false, "1.5e-6", 1.5e-6},
        {"2", -7, true, "-2e-7", -2e-7},
        {"15", 12, true, "-1.5e12", -1.5e12},
        {"9999999999", 99, false, "9.999999999e99", 9.999999999e99},
        {"1", -99, false, "1e-99", 1e-99},
        {"1", 0, true, "-1", -1.0},
        {"1234567891", 9, false, "1234567891", 1234567891.0},
        {"1234567891", 4, true, "-12345.67891", -12345.67891},
    };
    for (const DecimalCase& c : cases) {
        SCOPED_TRACE(c.text);
        const tw_register r = decimal(bcd(c.digits, c.exponent, c.negative));
        EXPECT_EQ(r.kind, uint32_t{TW_REGISTER_DECIMAL});
        EXPECT_STREQ(r.text, c.text);
        EXPECT_STREQ(r.decimal, c.text);
        EXPECT_DOUBLE_EQ(r.number, c.number);
        EXPECT_EQ(r.isNegative, c.negative ? 1u : 0u);
        EXPECT_EQ(r.raw, bcd(c.digits, c.exponent, c.negative));
        EXPECT_EQ(r.word, 0u);
    }
}

TEST(DecimalRegister, ZeroMantissaIsPlainZeroWhateverTheSign)
{
    for (uint64_t word : {uint64_t{0}, bcd("", 5, true), bcd("", -3, true)}) {
        const tw_register r = decimal(word);
        EXPECT_STREQ(r.text, "0");
        EXPECT_EQ(r.isNegative, 0u);
        EXPECT_EQ(r.number, 0.0);
    }
}

TEST(DecimalRegister, DigitsAboveNineReadAsNine)
{
    // Mantissa nibbles 0xA and 0xF, exponent 1.
    const uint64_t word = uint64_t{0xA} << 48 | uint64_t{0xF} << 44 | 1;
    EXPECT_STREQ(decimal(word).text, "99");
    EXPECT_DOUBLE_EQ(decimal(word).number, 99.0);
}

TEST(DecimalRegister, DecimalTextIsTheDisplayTextCutToItsField)
{
    const tw_register r = decimal(bcd("1234567891", -5, true));
    EXPECT_STREQ(r.text, "-0.00001234567891");
    EXPECT_LT(std::strlen(r.decimal), sizeof r.decimal);
}

} // namespace
} // namespace tw::decode
