// The HP-15C pool record, the imaginary stack and matrix elements.
#include "core/decode/pool.h"
#include "core/decode/image_builder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tw::decode {
namespace {

using testing::bcd;
using testing::Image;

tw_pool pool(const Image& image)
{
    tw_pool p{};
    EXPECT_EQ(poolStatus(image.context, p).value, TW_OK);
    return p;
}

// An HP-15C with R2 to R9, matrix A of 2 x 3 above them, and a 10-byte program.
Image sample()
{
    Image image = Image::hp15c();
    image.pool15c(200, {208, 214, 214, 214, 214});
    image.matrix15c(0, 2, 3);
    image.program15c({0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1});
    return image;
}

TEST(Pool15c, ReadsTheBookkeeping)
{
    const tw_pool p = pool(sample());
    EXPECT_EQ(p.variant, 150);
    EXPECT_EQ(p.base, 160);
    EXPECT_EQ(p.top, 256);
    EXPECT_EQ(p.data, 200);
    EXPECT_EQ(p.starts[0], 208);
    EXPECT_EQ(p.starts[4], 214);
    EXPECT_EQ(p.rows[0], 2);
    EXPECT_EQ(p.cols[0], 3);
    EXPECT_EQ(p.matrixRegisters, 6);
    EXPECT_EQ(p.pool, 256);
    EXPECT_EQ(p.storage, 8);
    EXPECT_EQ(p.dimI, 9);
    EXPECT_EQ(p.programLow, 254);
    EXPECT_EQ(p.programRegisters, 2);
    EXPECT_EQ(p.programBytes, 10);
    EXPECT_EQ(p.free, 96 - (8 + 2 + 6));
    EXPECT_STREQ(p.gmem, "9 80 02-4");
    EXPECT_EQ(p.gap, 40);
    EXPECT_EQ(p.scratch, 0);
}

TEST(Pool15c, EmptyMemoryAndTheVariants)
{
    Image image = Image::hp15c(152);
    image.put(280, 200);
    image.put(322, 0xC0); // result matrix C
    const tw_pool p = pool(image);
    EXPECT_EQ(p.variant, 152);
    EXPECT_EQ(p.base, 64);
    EXPECT_EQ(p.pool, 200);
    EXPECT_EQ(p.result, 2);
    EXPECT_EQ(p.programLow, 256);
    EXPECT_EQ(p.programRegisters, 0);
    EXPECT_EQ(p.programBytes, 0);
    EXPECT_EQ(p.matrixRegisters, 0);
    EXPECT_EQ(p.free, 192);
    EXPECT_EQ(std::strcmp(p.gmem + std::strlen(p.gmem) - 4, "00-0"), 0) << p.gmem;
    image.complex15c(true);
    EXPECT_EQ(pool(image).free, 187);
    image.put(322, 0xF0);
    EXPECT_EQ(pool(image).result, 0);
}

TEST(Pool15c, TellsTheSolveWorkspaceFromAGap)
{
    Image image = Image::hp15c();
    image.complex15c(true);
    image.pool15c(160 + 5 + 23, {190, 0, 0, 0, 0});
    image.put(278, 240);
    EXPECT_EQ(pool(image).gap, 23);
    image.put(140, 1);
    EXPECT_EQ(pool(image).scratch, 23);
    EXPECT_EQ(pool(image).gap, 0);
    image.put(278, 10);
    EXPECT_EQ(pool(image).gap, 23);
    image.pool15c(160 + 5 + 7, {190, 0, 0, 0, 0});
    EXPECT_EQ(pool(image).gap, 7);
    image.pool15c(160, {190, 0, 0, 0, 0});
    EXPECT_EQ(pool(image).gap, 0);
}

TEST(Pool15c, ImaginaryStackLiesJustBelowR2)
{
    Image image = sample();
    tw_register r{};
    EXPECT_EQ(imaginaryRegister(image.context, 0, r).value, TW_ERR_STATE) << "not in complex mode";
    image.complex15c(true);
    for (int i = 0; i < 5; ++i)
        image.putWord(8 * (200 - 1 - i) - 16, bcd("1", i, i % 2 == 1));
    const char* texts[5] = {"1", "-10", "100", "-1000", "10000"};
    const char* names[5] = {"X i", "Y i", "Z i", "T i", "LAST X i"};
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(imaginaryRegister(image.context, i, r).value, TW_OK);
        EXPECT_STREQ(r.text, texts[i]);
        EXPECT_STREQ(r.name, names[i]);
    }
    EXPECT_EQ(imaginaryRegister(image.context, 5, r).value, TW_ERR_ARGUMENT);
    EXPECT_EQ(imaginaryRegister(image.context, -1, r).value, TW_ERR_ARGUMENT);
}

TEST(Pool15c, MatrixElementsRowByRow)
{
    Image image = sample();
    for (int e = 0; e < 6; ++e)
        image.putWord(8 * (208 + e) - 16, bcd("1", e));
    tw_register r{};
    ASSERT_EQ(matrixElement(image.context, 0, 1, 1, r).value, TW_OK);
    EXPECT_STREQ(r.name, "A 1,1");
    EXPECT_STREQ(r.text, "1");
    EXPECT_EQ(r.kind, uint32_t{TW_REGISTER_DECIMAL});
    ASSERT_EQ(matrixElement(image.context, 0, 2, 1, r).value, TW_OK);
    EXPECT_STREQ(r.text, "1000");
    ASSERT_EQ(matrixElement(image.context, 0, 2, 3, r).value, TW_OK);
    EXPECT_STREQ(r.text, "100000");
    EXPECT_STREQ(r.name, "A 2,3");

    const int bad[][3] = {{0, 3, 1}, {0, 1, 4}, {0, 0, 1}, {0, 1, 0}, {1, 1, 1}, {5, 1, 1}, {-1, 1, 1}, {0, -1, 1}};
    for (const auto& b : bad)
        EXPECT_EQ(matrixElement(image.context, b[0], b[1], b[2], r).value, TW_ERR_ARGUMENT)
            << b[0] << " " << b[1] << " " << b[2];

    // An element whose register would lie at or above the pool's top, or below its base.
    image.pool15c(200, {254, 214, 214, 214, 150});
    image.matrix15c(4, 1, 1);
    EXPECT_EQ(matrixElement(image.context, 0, 1, 2, r).value, TW_OK);
    const Result above = matrixElement(image.context, 0, 1, 3, r);
    EXPECT_EQ(above.value, TW_ERR_STATE);
    EXPECT_NE(above.message, nullptr);
    EXPECT_EQ(matrixElement(image.context, 4, 1, 1, r).value, TW_ERR_STATE);
}

TEST(Pool15c, OtherModelsHaveNoPool)
{
    for (const Image& image : {Image::hp12c(), Image::hp16c()}) {
        tw_pool p{};
        tw_register r{};
        const Result status = poolStatus(image.context, p);
        EXPECT_EQ(status.value, TW_ERR_STATE);
        EXPECT_NE(status.message, nullptr);
        EXPECT_EQ(imaginaryRegister(image.context, 0, r).value, TW_ERR_STATE);
        EXPECT_EQ(matrixElement(image.context, 0, 1, 1, r).value, TW_ERR_STATE);
    }
}

} // namespace
} // namespace tw::decode
