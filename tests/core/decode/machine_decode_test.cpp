// The decoders through a machine started with our test firmware: the image written
// with tw_write_memory comes back as registers, listings and pool records.
#include "core/decode/image_builder.h"
#include "core/tw.h"
#include "support/test_firmware.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tw {

namespace {

using tw::decode::testing::bcd;
using tw::decode::testing::Image;
using tw::test::Firmware;

tw::test::MachinePtr machineWith(Firmware firmware, const Image& image)
{
    tw::test::MachinePtr m = tw::test::startedMachine(firmware);
    if (m) {
        EXPECT_EQ(tw_write_memory(m.get(), image.bytes.data()), TW_OK);
    }
    return m;
}

TEST(MachineDecode, Hp15cStackListingAndPool)
{
    TW_REQUIRE_TEST_FIRMWARE();
    Image image = Image::hp15c();
    image.putWord(32, bcd("15", 2));
    image.putWord(112, bcd("25", -3, true));
    image.pool15c(200, {208, 214, 214, 214, 214});
    image.matrix15c(0, 2, 3);
    image.putWord(8 * 208 - 16, bcd("7", 0));
    image.program15c({0x00, 0xC1, 0xCF, 0x8B});
    auto m = machineWith(Firmware::Hp15c, image);
    ASSERT_TRUE(m);

    struct tw_memory_status status{};
    ASSERT_EQ(tw_memory_status(m.get(), &status), TW_OK);
    EXPECT_EQ(status.model, 15u);
    EXPECT_EQ(status.modelCode, 150u);
    EXPECT_EQ(status.lines, 3u);
    EXPECT_EQ(status.registerCount, 10u);

    tw_register reg{};
    ASSERT_EQ(tw_stack_register(m.get(), 0, &reg), TW_OK);
    EXPECT_STREQ(reg.text, "150");
    ASSERT_EQ(tw_stack_register(m.get(), 1, &reg), TW_OK);
    EXPECT_STREQ(reg.text, "-0.0025");
    EXPECT_EQ(tw_stack_register(m.get(), 6, &reg), TW_ERR_ARGUMENT);

    tw_prog_line lines[8]{};
    ASSERT_EQ(tw_program_lines(m.get(), 1, lines, 8), 3);
    EXPECT_STREQ(lines[2].mnemonic, "RCL + B");
    EXPECT_STREQ(lines[2].keys, "45,40,12");

    tw_pool pool{};
    ASSERT_EQ(tw_pool_status(m.get(), &pool), TW_OK);
    EXPECT_EQ(pool.data, 200);
    ASSERT_EQ(tw_matrix_element(m.get(), 0, 1, 1, &reg), TW_OK);
    EXPECT_STREQ(reg.text, "7");
    EXPECT_STREQ(reg.name, "A 1,1");
    EXPECT_EQ(tw_imaginary_register(m.get(), 0, &reg), TW_ERR_STATE);
    EXPECT_NE(std::strstr(tw_last_error(m.get()), "complex"), nullptr) << tw_last_error(m.get());
}

TEST(MachineDecode, Hp16cLayoutsFollowTheFirmware)
{
    TW_REQUIRE_TEST_FIRMWARE();
    for (Firmware firmware : {Firmware::Hp16c, Firmware::Hp16cExtended}) {
        const bool extended = firmware == Firmware::Hp16cExtended;
        Image image = Image::hp16c(extended ? tw::decode::Hp16Layout{true, 360, 77, 176} : tw::decode::Hp16Layout{});
        image.mode16c(0x02, 8);
        image.putWord(32, 0xFF);
        image.lines16c(2);
        image.step16c(1, 0xA1);
        image.step16c(2, 0xC6);
        auto m = machineWith(firmware, image);
        ASSERT_TRUE(m);

        struct tw_memory_status status{};
        ASSERT_EQ(tw_memory_status(m.get(), &status), TW_OK);
        EXPECT_EQ(status.model, 16u);
        EXPECT_EQ(status.extendedMemory, extended ? 1u : 0u);
        EXPECT_EQ(status.wordSize, 8u);
        EXPECT_EQ(status.base, 16u);

        tw_register reg{};
        ASSERT_EQ(tw_stack_register(m.get(), 0, &reg), TW_OK);
        EXPECT_STREQ(reg.text, "FF");
        EXPECT_STREQ(reg.decimal, "-1");

        tw_prog_line lines[4]{};
        ASSERT_EQ(tw_program_lines(m.get(), 1, lines, 4), 2);
        EXPECT_STREQ(lines[0].mnemonic, "DSZ");
        EXPECT_STREQ(lines[1].mnemonic, "ENTER");

        tw_pool pool{};
        EXPECT_EQ(tw_pool_status(m.get(), &pool), TW_ERR_STATE);
        EXPECT_NE(std::strstr(tw_last_error(m.get()), "HP-15C"), nullptr);
    }
}

TEST(MachineDecode, MultiModelFirmwareRunsTheHp12c)
{
    TW_REQUIRE_TEST_FIRMWARE();
    Image image = Image::hp12c();
    image.programBlocks12c(0);
    image.step12c(1, 0xA6);
    image.putWord(1896, bcd("36", 1));
    auto m = machineWith(Firmware::Multi, image);
    ASSERT_TRUE(m);
    struct tw_memory_status status{};
    ASSERT_EQ(tw_memory_status(m.get(), &status), TW_OK);
    EXPECT_EQ(status.model, 12u);
    EXPECT_EQ(status.lines, 8u);
    EXPECT_EQ(status.registerCount, 20u);
    tw_register reg{};
    ASSERT_EQ(tw_stack_register(m.get(), 6, &reg), TW_OK);
    EXPECT_STREQ(reg.text, "36");
    tw_prog_line line{};
    ASSERT_EQ(tw_program_lines(m.get(), 1, &line, 1), 1);
    EXPECT_STREQ(line.mnemonic, "n");
}

} // namespace

} // namespace tw
