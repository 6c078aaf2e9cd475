// Program listings of the three models, walked from the image's step bytes.
#include "core/decode/listing.h"
#include "core/decode/registers.h"
#include "core/decode/image_builder.h"

#include <gtest/gtest.h>

#include <vector>

namespace tw::decode {
namespace {

using testing::Image;

std::vector<tw_prog_line> listing(const Image& image, int first = 1, int count = 1000)
{
    std::vector<tw_prog_line> lines(static_cast<size_t>(count));
    const Result r = programLines(image.context, first, lines.data(), count);
    EXPECT_GE(r.value, 0);
    lines.resize(static_cast<size_t>(r.value < 0 ? 0 : r.value));
    return lines;
}

void expectLine(const tw_prog_line& line, int number, const char* keys, const char* mnemonic, char prefix)
{
    SCOPED_TRACE(mnemonic);
    EXPECT_EQ(line.line, number);
    EXPECT_STREQ(line.keys, keys);
    EXPECT_STREQ(line.mnemonic, mnemonic);
    EXPECT_EQ(line.prefix, prefix);
}

TEST(Listing12c, WalksStepsDownThroughTheRegisters)
{
    Image image = Image::hp12c();
    image.programBlocks12c(1); // 15 lines
    image.put(2022, 0xA6);     // line 1
    image.put(2008, 0x05);     // line 2
    image.put(2014, 0xE2);     // line 8
    image.put(2000, 0x3E);     // line 9
    image.put(2006, 0xD1);     // line 15
    const auto lines = listing(image);
    ASSERT_EQ(lines.size(), 15u);
    expectLine(lines[0], 1, "11", "n", 0);
    expectLine(lines[1], 2, "43,33 05", "GTO 05", 'g');
    expectLine(lines[7], 8, "45 11", "RCL n", 0);
    expectLine(lines[8], 9, "42 3", "3", 'f');
    expectLine(lines[14], 15, "43  1", "x̂,r", 'g');
    EXPECT_EQ(lines[1].code[0], 0x05);
    EXPECT_EQ(lines[1].code[1], 0);
    EXPECT_EQ(lines[1].len, 1);

    EXPECT_EQ(listing(image, 16).size(), 0u);
    EXPECT_EQ(listing(image, 14, 1).size(), 1u);
    EXPECT_EQ(listing(image, 14).size(), 2u);
    tw_prog_line none{};
    EXPECT_EQ(programLines(image.context, 1, &none, 0).value, 0);
}

TEST(Listing16c, FindsTheFirstStepInEachLayout)
{
    const Hp16Layout layouts[] = {{}, {true, 360, 77, 176}, {true, 368, 77, 176}};
    const int firstStep[] = {2000, 1760, 1768};
    for (int i = 0; i < 3; ++i) {
        Image image = Image::hp16c(layouts[i]);
        image.lines16c(9);
        image.put(firstStep[i], 0x0A);
        image.put(firstStep[i] + 6, 0xC6);
        image.put(firstStep[i] - 8, 0x3A);
        image.put(firstStep[i] - 7, 0xFB);
        const auto lines = listing(image);
        ASSERT_EQ(lines.size(), 9u);
        expectLine(lines[0], 1, "43,22, A", "LBL A", 'g');
        expectLine(lines[6], 7, "36", "ENTER", 0);
        expectLine(lines[7], 8, "42,45,48", "FLOAT ·", 'f');
        expectLine(lines[8], 9, "b", "B", 0);
        EXPECT_EQ(listing(image, 10).size(), 0u);
    }
}

TEST(Listing15c, ReadsOneAndTwoByteStepsIncludingOnesThatStraddleARegister)
{
    Image image = Image::hp15c();
    // Six one-byte steps fill the first register's bytes 0 to 5; the two-byte step at
    // stream bytes 6 and 7 lies in offsets 2030 and 2016.
    image.program15c({0x00, 0xC1, 0xCA, 0x45, 0xA2, 0xC1, 0xCF, 0x8B, 0xFF, 0x35, 0x4F, 0x0A, 0xBF, 0xBA, 0xC2});
    ASSERT_EQ(image.bytes[2030], 0xCF);
    ASSERT_EQ(image.bytes[2016], 0x8B);
    const auto lines = listing(image);
    ASSERT_EQ(lines.size(), 11u);
    expectLine(lines[0], 1, "42,21, 0", "LBL 0", 'f');
    expectLine(lines[1], 2, "36", "ENTER", 0);
    expectLine(lines[3], 4, "44 5", "STO 5", 0);
    expectLine(lines[6], 7, "45,40,12", "RCL + B", 0);
    EXPECT_EQ(lines[6].len, 2);
    EXPECT_EQ(lines[6].code[0], 0xCF);
    EXPECT_EQ(lines[6].code[1], 0x8B);
    expectLine(lines[7], 8, "43, 4, 5", "SF 5", 'g');
    expectLine(lines[8], 9, "22 21", "GTO SST", 0);
    expectLine(lines[9], 10, "43, 4,11", "SF A", 'g');
    expectLine(lines[10], 11, "31", "R/S", 0);

    const auto fromThree = listing(image, 3, 5);
    ASSERT_EQ(fromThree.size(), 5u);
    EXPECT_EQ(fromThree[0].line, 3);
    expectLine(fromThree[4], 7, "45,40,12", "RCL + B", 0);

    // The memory summary counts steps the same way and finds the current one.
    image.currentByte15c(8);
    struct tw_memory_status s{};
    memoryStatus(image.context, {}, s);
    EXPECT_EQ(s.lines, 11u);
    EXPECT_EQ(s.line, 8u);
    image.currentByte15c(7); // the second byte of a step starts none
    memoryStatus(image.context, {}, s);
    EXPECT_EQ(s.line, 0u);
}

TEST(Listing15c, OnlyTwoByteStepAndNoProgram)
{
    Image image = Image::hp15c();
    image.program15c({0x0F, 0x05});
    const auto lines = listing(image);
    ASSERT_EQ(lines.size(), 1u);
    expectLine(lines[0], 1, "42,21, 5", "LBL 5", 'f');
    EXPECT_EQ(lines[0].len, 2);

    Image empty = Image::hp15c();
    EXPECT_EQ(listing(empty).size(), 0u);
    empty.put(288, 127); // a page below 128 is no program
    empty.put(289, 3);
    EXPECT_EQ(listing(empty).size(), 0u);
}

} // namespace
} // namespace tw::decode
