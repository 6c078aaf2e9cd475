// HP-16C integers in every base and complement, word sizes 1 to 64.
#include "core/decode/register_value.h"
#include "core/decode/image_builder.h"

#include <gtest/gtest.h>

namespace tw::decode {
namespace {

constexpr uint8_t kHex = 0x00, kOct = 0x20, kBin = 0x40, kDec = 0x80;

Hp16Mode mode(uint8_t baseBits, int complement, int wordSize)
{
    testing::Image image = testing::Image::hp16c();
    image.mode16c(static_cast<uint8_t>(baseBits | complement), wordSize);
    return hp16Mode(image.bytes[166], image.bytes[165]);
}

tw_register integer(uint64_t value, const Hp16Mode& m)
{
    tw_register r{};
    formatInteger(value & ((uint64_t{1} << 56) - 1), static_cast<uint8_t>(value >> 56), m, r);
    return r;
}

TEST(Hp16Mode, ReadsBaseComplementAndWordSizeFromTheModeBytes)
{
    EXPECT_EQ(hp16Mode(0x82, 0xEF).base, 10u);
    EXPECT_EQ(hp16Mode(0x1F, 0xEF).base, 16u);
    EXPECT_EQ(hp16Mode(0x3F, 0xEF).base, 8u);
    EXPECT_EQ(hp16Mode(0x40, 0xEF).base, 2u);
    EXPECT_EQ(hp16Mode(0x01, 0xEF).complement, 1u);
    EXPECT_EQ(hp16Mode(0x07, 0xEF).complement, 2u) << "complement modes above 2 read as 2";
    EXPECT_TRUE(hp16Mode(0xC2, 0xEF).floatMode);
    EXPECT_FALSE(hp16Mode(0x82, 0xEF).floatMode);
    EXPECT_EQ(hp16Mode(0, 0xEF).wordSize, 8u);
    EXPECT_EQ(hp16Mode(0, 0x0F).wordSize, 64u);
    EXPECT_EQ(hp16Mode(0, 0xF1).wordSize, 1u);
    EXPECT_EQ(hp16Mode(0, 0xF0).wordSize, 16u) << "a word size of 0 reads as 16";
    EXPECT_EQ(hp16Mode(0, 0xD5).wordSize, 10u);
}

struct IntegerCase {
    uint8_t base;
    int complement;
    int wordSize;
    uint64_t value;
    const char* text;
    const char* decimal;
    bool negative;
    double number;
};

TEST(Hp16Integer, ShowsWordsInEveryBaseAndComplement)
{
    const IntegerCase cases[] = {
        // word size 8
        {kHex, 2, 8, 0xFF, "FF", "-1", true, -1},
        {kDec, 2, 8, 0xFF, "-1", "-1", true, -1},
        {kDec, 2, 8, 0x80, "-128", "-128", true, -128},
        {kDec, 1, 8, 0xFF, "-0", "-0", false, 0},
        {kDec, 1, 8, 0xFE, "-1", "-1", true, -1},
        {kDec, 0, 8, 0xFF, "255", "255", false, 255},
        {kOct, 0, 8, 0xFF, "377", "255", false, 255},
        {kBin, 2, 8, 0x85, "10000101", "-123", true, -123},
        {kHex, 0, 8, 0x1FF, "FF", "255", false, 255}, // bits above the word size are masked off
        {kHex, 0, 8, 0x00, "0", "0", false, 0},
        // word size 1
        {kBin, 2, 1, 1, "1", "-1", true, -1},
        {kDec, 1, 1, 1, "-0", "-0", false, 0},
        {kDec, 0, 1, 1, "1", "1", false, 1},
        {kOct, 2, 1, 0, "0", "0", false, 0},
        // word size 16
        {kHex, 2, 16, 0x8000, "8000", "-32768", true, -32768},
        {kOct, 1, 16, 0x8000, "100000", "-32767", true, -32767},
        {kBin, 0, 16, 0x0005, "101", "5", false, 5},
        {kDec, 2, 16, 0x7FFF, "32767", "32767", false, 32767},
        // word size 64: the high byte comes from outside the 56-bit word
        {kHex, 2, 64, 0xFFFFFFFFFFFFFFFFull, "FFFFFFFFFFFFFFFF", "-1", true, -1},
        {kDec, 2, 64, 0x8000000000000000ull, "-9223372036854775808", "-9223372036854775808", true,
         -9223372036854775808.0},
        {kDec, 0, 64, 0xFFFFFFFFFFFFFFFFull, "18446744073709551615", "18446744073709551615", false,
         18446744073709551615.0},
        {kOct, 0, 64, 0x8000000000000000ull, "1000000000000000000000", "9223372036854775808", false,
         9223372036854775808.0},
        {kBin, 1, 64, 0xFFFFFFFFFFFFFFFEull,
         "1111111111111111111111111111111111111111111111111111111111111110", "-1", true, -1},
        {kHex, 0, 64, 0x0123456789ABCDEFull, "123456789ABCDEF", "81985529216486895", false, 81985529216486895.0},
    };
    for (const IntegerCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "ws " << c.wordSize << " compl " << c.complement << " " << c.text);
        const Hp16Mode m = mode(c.base, c.complement, c.wordSize);
        ASSERT_EQ(m.wordSize, static_cast<uint32_t>(c.wordSize));
        const tw_register r = integer(c.value, m);
        EXPECT_EQ(r.kind, uint32_t{TW_REGISTER_INTEGER});
        EXPECT_STREQ(r.text, c.text);
        EXPECT_STREQ(r.decimal, c.decimal);
        EXPECT_EQ(r.isNegative, c.negative ? 1u : 0u);
        EXPECT_DOUBLE_EQ(r.number, c.number);
        const uint64_t mask = c.wordSize == 64 ? ~uint64_t{0} : (uint64_t{1} << c.wordSize) - 1;
        EXPECT_EQ(r.word, c.value & mask);
        EXPECT_EQ(r.raw, c.value & ((uint64_t{1} << 56) - 1));
    }
}

TEST(Hp16Integer, FloatModeReadsTheLow56BitsAsADecimal)
{
    Hp16Mode m = mode(0xC0, 0, 56);
    ASSERT_TRUE(m.floatMode);
    const tw_register r = integer(testing::bcd("25", 1, true), m);
    EXPECT_EQ(r.kind, uint32_t{TW_REGISTER_DECIMAL});
    EXPECT_STREQ(r.text, "-25");
}

} // namespace
} // namespace tw::decode
