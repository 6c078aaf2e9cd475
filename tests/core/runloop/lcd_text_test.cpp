#include "core/bus/lcd_tables.h"
#include "core/tw.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tw {

namespace {

using tw::lcd::patternChar;

struct tw_lcd blankRecord() {
    struct tw_lcd record{};
    return record;
}

std::string text(const struct tw_lcd& record, size_t size = 64) {
    std::string buffer(size, '#');
    EXPECT_EQ(tw_lcd_text(&record, buffer.data(), size), TW_OK);
    return buffer.c_str();
}

TEST(PatternTable, PatternsAreDistinctAndDigitsRead) {
    std::set<int> seen;
    for (const auto& entry : tw::lcd::kPatternTable) EXPECT_TRUE(seen.insert(entry.pattern).second) << int(entry.pattern);
    const char* digits = "0123456789";
    const uint8_t patterns[] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(patternChar(patterns[i]), digits[i]);
    EXPECT_EQ(patternChar(0x00), ' ');
    EXPECT_EQ(patternChar(0x73), 'P');
    EXPECT_EQ(patternChar(0x49), '?');
    EXPECT_EQ(patternChar(0x80), '?');
}

TEST(SegmentTables, EveryLitBitBelongsToOneThing) {
    std::set<int> bits;
    for (const auto& digit : tw::lcd::kSegmentTable) {
        for (uint8_t bit : digit.segment) EXPECT_TRUE(bits.insert(bit).second) << int(bit);
        EXPECT_TRUE(bits.insert(digit.dot).second) << int(digit.dot);
    }
    for (uint8_t bit : tw::lcd::kStatusBits) EXPECT_TRUE(bits.insert(bit).second) << int(bit);
    EXPECT_TRUE(bits.insert(tw::lcd::kMinusBit).second);

    std::set<int> words[2];
    for (const auto& digit : tw::lcd::kRunnerTable) {
        for (uint8_t bit : digit.segment) EXPECT_TRUE(words[digit.word].insert(bit).second) << int(bit);
        EXPECT_TRUE(words[digit.word].insert(digit.dot).second);
        if (digit.comma != tw::lcd::kNoComma) {
            EXPECT_TRUE(words[digit.word].insert(digit.comma).second);
        }
    }
    EXPECT_TRUE(words[0].insert(tw::lcd::kRunnerMinusBit).second);
    for (const auto& word : words) EXPECT_LE(*word.rbegin(), 55);
}

TEST(LcdText, SignDigitPointAndBlanks) {
    auto record = blankRecord();
    record.minus = 1;
    record.segments[0] = 0x06;
    record.dots[0] = 1;
    EXPECT_EQ(text(record), "-1.         ");
}

TEST(LcdText, CommaWinsOverPoint) {
    auto record = blankRecord();
    for (int d = 0; d < 10; ++d) record.segments[d] = 0x3F;
    record.dots[2] = 1;
    record.commas[2] = 1;
    record.dots[5] = 1;
    EXPECT_EQ(text(record), "000,000.0000");
}

TEST(LcdText, SmallBuffersAreCutWithoutOverrun) {
    auto record = blankRecord();
    record.minus = 1;
    for (int d = 0; d < 10; ++d) {
        record.segments[d] = 0x7F;
        record.commas[d] = 1;
    }
    EXPECT_EQ(text(record), "-8,8,8,8,8,8,8,8,8,8,"); // the longest text: 21 characters
    EXPECT_EQ(text(record, 22), "-8,8,8,8,8,8,8,8,8,8,");
    EXPECT_EQ(text(record, 21), "-8,8,8,8,8,8,8,8,8,8");
    EXPECT_EQ(text(record, 4), "-8,");
    EXPECT_EQ(text(record, 3), "-8");
    EXPECT_EQ(text(record, 2), "-");
    record.minus = 0;
    EXPECT_EQ(text(record, 2), "8");
}

TEST(LcdText, RefusesMissingArguments) {
    auto record = blankRecord();
    char buffer[4];
    EXPECT_EQ(tw_lcd_text(nullptr, buffer, sizeof buffer), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_lcd_text(&record, nullptr, 4), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_lcd_text(&record, buffer, 1), TW_ERR_ARGUMENT);
}

} // namespace

} // namespace tw
