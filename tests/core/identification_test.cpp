#include "calculator_bus.h"
#include "synthetic_firmware.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::test;

struct Loaded : CalculatorBus {
    explicit Loaded(const std::vector<uint8_t>& image) {
        FingerprintScope scope;
        status = tw_load_firmware(m, image.data(), image.size());
    }
    int status = 0;
};

TEST(FirmwareModels, MultiModelListsEachCodeOnceInFixedOrder) {
    auto image = multiModelImage();
    putDescriptor(image, 0xA000, 335);     // a second 12C descriptor
    putDescriptor(image, 0xB000, 999);     // not a model image
    putDescriptor(image, 0xC001, 255);     // odd offsets are not scanned
    Loaded machine(image);
    ASSERT_EQ(machine.status, TW_OK);

    uint32_t out[8] = {};
    EXPECT_EQ(tw_firmware_models(machine.m, out, 8), 4);
    EXPECT_EQ(out[0], 120u);
    EXPECT_EQ(out[1], 150u);
    EXPECT_EQ(out[2], 152u);
    EXPECT_EQ(out[3], 160u);
    EXPECT_EQ(out[4], 0u);

    uint32_t two[3] = {0, 0, 77};
    EXPECT_EQ(tw_firmware_models(machine.m, two, 2), 4);
    EXPECT_EQ(two[0], 120u);
    EXPECT_EQ(two[1], 150u);
    EXPECT_EQ(two[2], 77u);
    EXPECT_EQ(tw_firmware_models(machine.m, nullptr, 0), 4);

    EXPECT_EQ(tw_firmware_models(machine.m, nullptr, 1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_firmware_models(machine.m, out, -1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_firmware_models(nullptr, out, 8), TW_ERR_ARGUMENT);
}

TEST(FirmwareModels, DescriptorsAtTheFileEnd) {
    // A 15C descriptor whose 15.2 marks would lie beyond the file is a 15.0 image,
    // and the last descriptor that fits is still found.
    auto image = hp15cImage();
    putDescriptor(image, kSmallestFirmware - 12, 271);
    putHalfword(image, kSmallestFirmware - 12 - 6098 + 1708, 64);
    Loaded machine(image);
    ASSERT_EQ(machine.status, TW_OK);
    uint32_t out[4] = {};
    EXPECT_EQ(tw_firmware_models(machine.m, out, 4), 1);
    EXPECT_EQ(out[0], 150u);
}

TEST(FirmwareModels, NeedAnIdentifiedFirmware) {
    CalculatorBus fresh;
    uint32_t out[4];
    EXPECT_EQ(tw_firmware_models(fresh.m, out, 4), TW_ERR_STATE);
    auto image = blankImage();
    putDescriptor(image, 0x1000, 255);
    Loaded unknown(image);
    ASSERT_EQ(unknown.status, TW_ERR_FIRMWARE);
    EXPECT_EQ(tw_firmware_models(unknown.m, out, 4), TW_ERR_STATE);
}

TEST(RunningModel, RefreshReadsTheDescriptorOfTheRunningImage) {
    Loaded machine(multiModelImage());
    ASSERT_EQ(machine.status, TW_OK);
    auto setRunning = [&](uint32_t address) { tw_bus_write(machine.cpu, 0x20000010, 4, address); };

    machine.m->mode = -1; // no refresh before a start
    setRunning(0x4000 + 0x9000);
    EXPECT_EQ(tw_model_code(machine.m), 120u);

    machine.m->mode = 1;
    EXPECT_EQ(tw_model_code(machine.m), 160u);
    EXPECT_EQ(tw_model(machine.m), 16u);
    setRunning(0x4000 + 0x6000);
    EXPECT_EQ(tw_model_code(machine.m), 152u);
    EXPECT_EQ(tw_model(machine.m), 15u);
    setRunning(0x4000 + 0x3000);
    EXPECT_EQ(tw_model_code(machine.m), 150u);
    setRunning(0x4000 + 0x1000);
    EXPECT_EQ(tw_model(machine.m), 12u);
    EXPECT_EQ(tw_family(machine.m), 99u);

    // Addresses that name no descriptor leave the model alone.
    machine.m->modelCode = 160;
    machine.m->model = 16;
    for (uint32_t address : {0x0u, 0x3FF6u, 0x4000u + 0x500u, 0x4000u + uint32_t(kSmallestFirmware) - 11,
                             0xFFFFFFFFu, 0x20000000u})
    {
        setRunning(address);
        EXPECT_EQ(tw_model_code(machine.m), 160u) << std::hex << address;
    }
}

TEST(FirmwareHalfword, BoundsCheckedAgainstTheFile) {
    Loaded machine(hp16cImage());
    ASSERT_EQ(machine.status, TW_OK);
    const uint32_t end = 0x4000 + uint32_t(kSmallestFirmware);
    EXPECT_EQ(tw_firmware_halfword(machine.m, 0x4000, 2), 0x4101u); // the reset vector's low half
    EXPECT_EQ(tw_firmware_halfword(machine.m, 0x4004, 0), 0x4101u);
    EXPECT_EQ(tw_firmware_halfword(machine.m, 0x4000, 1), 0x2000u);
    EXPECT_EQ(tw_firmware_halfword(machine.m, end - 2, 0), 0u);
    EXPECT_EQ(tw_firmware_halfword(machine.m, end - 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(tw_firmware_halfword(machine.m, end - 4, 1), 0u);
    EXPECT_EQ(tw_firmware_halfword(machine.m, end - 4, 2), 0xFFFFFFFFu);
    EXPECT_EQ(tw_firmware_halfword(machine.m, 0x3FFE, 1), 0xFFFFFFFFu);
    // An index that would wrap a 32-bit offset back into the file.
    EXPECT_EQ(tw_firmware_halfword(machine.m, 0x4004, 0x80000000u), 0xFFFFFFFFu);
    EXPECT_EQ(tw_firmware_halfword(machine.m, 0x4004, 0xFFFFFFFEu), 0xFFFFFFFFu);
    EXPECT_EQ(tw_firmware_halfword(machine.m, 0xFFFFFFFFu, 0xFFFFFFFFu), 0xFFFFFFFFu);
    EXPECT_EQ(tw_firmware_halfword(nullptr, 0x4004, 0), 0xFFFFFFFFu);
    CalculatorBus fresh;
    EXPECT_EQ(tw_firmware_halfword(fresh.m, 0x4004, 0), 0xFFFFFFFFu);
}

} // namespace
