// Memory summary, stack and storage registers of the three models on hand-made images.
#include "core/decode/registers.h"
#include "core/decode/image_builder.h"

#include <gtest/gtest.h>

namespace tw::decode {
namespace {

using testing::bcd;
using testing::Image;

tw_register stack(const Image& image, int index, int expectedStatus = TW_OK)
{
    tw_register r{};
    EXPECT_EQ(stackRegister(image.context, index, r).value, expectedStatus) << "index " << index;
    return r;
}

tw_register storage(const Image& image, int number, int expectedStatus = TW_OK)
{
    tw_register r{};
    EXPECT_EQ(storageRegister(image.context, number, r).value, expectedStatus) << "register " << number;
    return r;
}

struct tw_memory_status status(const Image& image, Activity activity = {})
{
    struct tw_memory_status s{};
    EXPECT_EQ(memoryStatus(image.context, activity, s).value, TW_OK);
    return s;
}

TEST(StackRegisters, HoldAKnownStackOnEachDecimalModel)
{
    for (Image image : {Image::hp12c(), Image::hp15c()}) {
        image.putWord(32, bcd("15", 2));
        image.putWord(112, bcd("25", -3, true));
        image.putWord(120, bcd("1", 50));
        image.putWord(128, 0);
        image.putWord(image.context.model == 12 ? 1856 : 264, bcd("42", 1));
        EXPECT_STREQ(stack(image, 0).text, "150");
        EXPECT_STREQ(stack(image, 1).text, "-0.0025");
        EXPECT_STREQ(stack(image, 2).text, "1e50");
        EXPECT_STREQ(stack(image, 3).text, "0");
        EXPECT_STREQ(stack(image, 4).text, "42");
        EXPECT_STREQ(stack(image, 4).name, "LAST X");
    }
}

TEST(StackRegisters, EachModelHasItsOwnSpecialRegisters)
{
    Image hp12 = Image::hp12c();
    hp12.putWord(1896, bcd("36", 1));
    hp12.putWord(1864, bcd("1", 4, true));
    EXPECT_STREQ(stack(hp12, 6).text, "36");
    EXPECT_STREQ(stack(hp12, 6).name, "n");
    EXPECT_STREQ(stack(hp12, 10).text, "-10000");
    EXPECT_STREQ(stack(hp12, 10).name, "FV");
    EXPECT_STREQ(stack(hp12, 5, TW_ERR_ARGUMENT).name, "I") << "the name is written even when the model lacks it";

    Image hp15 = Image::hp15c();
    hp15.putWord(256, bcd("7", 0));
    EXPECT_STREQ(stack(hp15, 5).text, "7");
    for (int index = 6; index <= 10; ++index)
        stack(hp15, index, TW_ERR_ARGUMENT);

    Image hp16 = Image::hp16c();
    for (int index = 0; index <= 5; ++index)
        stack(hp16, index);
    for (int index = 6; index <= 10; ++index)
        stack(hp16, index, TW_ERR_ARGUMENT);

    for (const Image& image : {hp12, hp15, hp16}) {
        stack(image, -1, TW_ERR_ARGUMENT);
        stack(image, 11, TW_ERR_ARGUMENT);
    }
}

TEST(StackRegisters, Hp16TakesTheHighBytesFromTheirOwnField)
{
    Image image = Image::hp16c();
    image.mode16c(0x02, 64); // hex, two's complement
    // High-byte nibble positions 0, 3, 5, 7, 9 of the field at 168: X 0x12, Y 0x34, Z 0x56, T 0x78, LAST X 0x9A.
    const uint64_t field = uint64_t{0x12} | uint64_t{0x34} << 12 | uint64_t{0x56} << 20 | uint64_t{0x78} << 28 |
                           uint64_t{0x9A} << 36;
    for (int i = 0; i < 6; ++i)
        image.put(168 + i, static_cast<uint8_t>(field >> (8 * i)));
    const int offsets[5] = {32, 112, 120, 128, 136};
    for (int i = 0; i < 5; ++i)
        image.putWord(offsets[i], 0x01);
    image.putWord(2008, 0x0F);
    image.putWord(2016, uint64_t{0xBC} << 12);
    EXPECT_STREQ(stack(image, 0).text, "1200000000000001");
    EXPECT_STREQ(stack(image, 1).text, "3400000000000001");
    EXPECT_STREQ(stack(image, 2).text, "5600000000000001");
    EXPECT_STREQ(stack(image, 3).text, "7800000000000001");
    EXPECT_STREQ(stack(image, 4).text, "9A00000000000001");
    EXPECT_STREQ(stack(image, 5).text, "BC0000000000000F");
    EXPECT_EQ(stack(image, 5).raw, 0x0Fu);
}

TEST(StorageRegisters, Hp12NamesOffsetsAndTheProgramsEnd)
{
    Image image = Image::hp12c();
    image.programBlocks12c(0); // 8 lines, 20 registers
    image.putWord(1824, bcd("1", 0));
    image.putWord(1776, bcd("2", 0));
    image.putWord(1816, bcd("6", 0));
    image.putWord(1904, bcd("7", 0));
    image.putWord(2000, bcd("19", 1));
    EXPECT_STREQ(storage(image, 0).text, "1");
    EXPECT_STREQ(storage(image, 1).text, "2");
    EXPECT_STREQ(storage(image, 6).text, "6");
    EXPECT_STREQ(storage(image, 7).text, "7");
    EXPECT_STREQ(storage(image, 19).text, "19");
    EXPECT_STREQ(storage(image, 19).name, "R.9");
    EXPECT_STREQ(storage(image, 10).name, "R.0");
    EXPECT_STREQ(storage(image, 9).name, "R9");
    storage(image, 20, TW_ERR_ARGUMENT);
    storage(image, -1, TW_ERR_ARGUMENT);

    // With 15 lines the steps 9 to 15 take R.9's bytes: R.9 is gone, not a number made of steps.
    image.programBlocks12c(1);
    EXPECT_EQ(status(image).registerCount, 19u);
    storage(image, 18);
    storage(image, 19, TW_ERR_ARGUMENT);
    image.programBlocks12c(13);
    EXPECT_EQ(status(image).lines, 99u);
    EXPECT_EQ(status(image).registerCount, 7u);
    storage(image, 6);
    storage(image, 7, TW_ERR_ARGUMENT);
}

TEST(StorageRegisters, Hp15FollowsThePoolAndNeverReadsBeforeTheImage)
{
    Image image = Image::hp15c();
    image.pool15c(200, {210, 0, 0, 0, 0}); // R2 at pool register 200; registers up to R11
    image.putWord(240, bcd("10", 1));
    image.putWord(248, bcd("11", 1));
    image.putWord(8 * 200 - 16, bcd("2", 0));
    image.putWord(8 * 209 - 16, bcd("11", 0));
    EXPECT_STREQ(storage(image, 0).text, "10");
    EXPECT_STREQ(storage(image, 1).text, "11");
    EXPECT_STREQ(storage(image, 2).text, "2");
    EXPECT_STREQ(storage(image, 11).text, "1.1");
    EXPECT_STREQ(storage(image, 11).name, "R.1");
    storage(image, 12, TW_ERR_ARGUMENT);
    EXPECT_EQ(status(image).registerCount, 12u);

    // A pool pointer so low that R2 would lie before the image reads as 0.
    image.pool15c(0, {3, 0, 0, 0, 0});
    image.putWord(0, bcd("99", 1));
    EXPECT_STREQ(storage(image, 2).text, "0");
    EXPECT_STREQ(storage(image, 4).text, "99") << "offset 8 x (0 + 4) - 32 is the first image byte";

    // Byte 285 below byte 286: no storage register at all.
    image.pool15c(100, {90, 0, 0, 0, 0});
    storage(image, 0, TW_ERR_ARGUMENT);
    EXPECT_EQ(status(image).registerCount, 1u);
}

TEST(StorageRegisters, Hp16NibbleStreamCrossesUnitBoundaries)
{
    Image image = Image::hp16c();
    image.mode16c(0x00, 16); // hex, unsigned, 4 nibbles a register
    image.lines16c(0);
    // Register 3 is nibbles 12 to 15: the last byte of unit 0 and the first of unit 1.
    image.put(1776 + 6, 0xBA);
    image.put(1776 + 8, 0xDC);
    EXPECT_STREQ(storage(image, 3).text, "DCBA");
    // Register 7 is nibbles 28 to 31: unit 2 starts at byte 1792.
    image.put(1792, 0x21);
    image.put(1793, 0x43);
    EXPECT_STREQ(storage(image, 7).text, "4321");
    EXPECT_EQ(status(image).registerCount, 29u * 14 / 4);

    // Word size 64: 16 nibbles, the 15th and 16th are the high byte.
    image.mode16c(0x00, 64);
    for (int i = 0; i < 7; ++i)
        image.put(1776 + i, static_cast<uint8_t>(0x11 * (i + 1)));
    image.put(1784, 0xEF);
    EXPECT_STREQ(storage(image, 0).text, "EF77665544332211");
    EXPECT_EQ(storage(image, 0).raw, 0x77665544332211u);

    // Float mode: 14 nibbles, a decimal.
    image.put(166, 0xC0);
    image.putWord(1776, bcd("5", 0, true));
    EXPECT_STREQ(storage(image, 0).text, "-5");
}

TEST(StorageRegisters, Hp16NamesAndLimits)
{
    Image image = Image::hp16c();
    image.mode16c(0x00, 64);
    image.lines16c(0);
    EXPECT_STREQ(storage(image, 10).name, "RA");
    EXPECT_STREQ(storage(image, 16).name, "R.0");
    image.mode16c(0x00, 8); // 2 nibbles a register: 203 of them
    EXPECT_STREQ(storage(image, 31).name, "R.F");
    EXPECT_STREQ(storage(image, 32).name, "R32");
    EXPECT_STREQ(storage(image, 202).name, "R202");
    storage(image, 203, TW_ERR_ARGUMENT);
    image.mode16c(0x00, 64);
    EXPECT_EQ(status(image).registerCount, 25u); // 29 units x 14 / 16
    storage(image, 24);
    storage(image, 25, TW_ERR_ARGUMENT);
    // A program that fills every unit leaves no register.
    image.put(2016, 224); // the lowest page: 7 x 28 + 7 lines in 29 units
    image.put(2017, 7);
    EXPECT_EQ(status(image).lines, 203u);
    EXPECT_EQ(status(image).registerCount, 0u);
    storage(image, 0, TW_ERR_ARGUMENT);
}

TEST(MemoryStatus, SummarisesEachModel)
{
    Image hp12 = Image::hp12c();
    hp12.programBlocks12c(13);
    hp12.put(2016, 0x0F);
    struct tw_memory_status s = status(hp12);
    EXPECT_EQ(s.model, 12u);
    EXPECT_EQ(s.modelCode, 120u);
    EXPECT_EQ(s.base, 10u);
    EXPECT_EQ(s.lines, 99u);
    EXPECT_EQ(s.line, 1u);
    EXPECT_EQ(s.hasI, 0u);
    EXPECT_EQ(s.hasProgram, 1u);
    hp12.put(2016, 0x2C); // (2) + 7 x (14 - 12) + 2
    EXPECT_EQ(status(hp12).line, 18u);
    hp12.programBlocks12c(0);
    EXPECT_EQ(status(hp12).line, 8u) << "the current line is at most the line count";

    Image hp15 = Image::hp15c(152);
    hp15.put(321, 0xA5);
    hp15.complex15c(true);
    hp15.put(322, 0x02);
    s = status(hp15);
    EXPECT_EQ(s.modelCode, 152u);
    EXPECT_EQ(s.flags, 0xA5u | 1u << 8 | 1u << 9);
    EXPECT_EQ(s.hasI, 1u);

    Image hp16 = Image::hp16c({true, 360, 77, 176});
    hp16.mode16c(0x81, 32);
    hp16.put(163, 0xFF);
    hp16.lines16c(10);
    hp16.put(2024, 251);
    hp16.put(2025, 2);
    s = status(hp16);
    EXPECT_EQ(s.base, 10u);
    EXPECT_EQ(s.wordSize, 32u);
    EXPECT_EQ(s.complement, 1u);
    EXPECT_EQ(s.flags, 0x3Fu);
    EXPECT_EQ(s.lines, 10u);
    EXPECT_EQ(s.line, 9u);
    EXPECT_EQ(s.extendedMemory, 1u);
    EXPECT_EQ(s.registerCount, (176u - 2) * 14 / 8);
    hp16.put(166, 0xC0);
    EXPECT_EQ(status(hp16).base, 0u);
    EXPECT_EQ(status(hp16).wordSize, 56u);
    hp16.put(2016, 50); // below the lowest page: no program
    EXPECT_EQ(status(hp16).lines, 0u);
    EXPECT_EQ(status(hp16).line, 0u);
}

TEST(MemoryStatus, RunningNeedsABusyWholeCalculatorWithNoKeyHeld)
{
    const Image image = Image::hp15c();
    EXPECT_EQ(status(image, {1, 0, 3, 0}).running, 1u);
    EXPECT_EQ(status(image, {1, 0, 2, 0}).running, 0u);
    EXPECT_EQ(status(image, {1, 0, 9, 1}).running, 0u);
    EXPECT_EQ(status(image, {0, 0, 9, 0}).running, 0u);
    EXPECT_EQ(status(image, {1, 1u << 4, 0, 0}).programMode, 1u);
    EXPECT_EQ(status(image, {1, 0x0F, 0, 0}).programMode, 0u);
}

TEST(Hp16Layouts, PickTheFirmwaresRegisterArea)
{
    const Hp16Layout single = hp16Layout(16, 1, 0xFFFFFFFF);
    EXPECT_EQ(single.base, 360);
    EXPECT_TRUE(single.extended);
    const Hp16Layout multi = hp16Layout(99, 0, 348);
    EXPECT_EQ(multi.base, 368);
    EXPECT_EQ(multi.lowestPage, 77);
    EXPECT_EQ(multi.units, 176);
    EXPECT_FALSE(hp16Layout(99, 1, 347).extended);
    EXPECT_FALSE(hp16Layout(16, 0, 348).extended);
    EXPECT_EQ(hp16Layout(16, 0, 0).base, 1776);
}

} // namespace
} // namespace tw::decode
