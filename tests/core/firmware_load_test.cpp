#include "core/machine.h"
#include "synthetic_firmware.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace tw::test;

constexpr const char* kSizeError = "file size is not that of an HP-15C CE / HP-16C CE firmware (about 112 KB)";
constexpr const char* kVectorError = "the file does not start with an ARM vector table for address 0x4000";
constexpr const char* kUnknownError =
    "firmware not recognised as an HP-12C, HP-15C or HP-16C CE firmware this core knows";

struct Machine {
    tw_machine* m = tw_create();
    ~Machine() { tw_destroy(m); }
    int load(const std::vector<uint8_t>& image) { return tw_load_firmware(m, image.data(), image.size()); }
};

// Fingerprints with no usable anchor: loads skip the anchor scan, so checks that
// come before identification are tested quickly.
tw_fingerprints withoutAnchor() {
    tw_fingerprints t = testFingerprints();
    t.anchor[0] = 0;
    return t;
}

TEST(FirmwareLoad, NullArgumentsAreRefusedWithoutText) {
    Machine machine;
    auto image = hp16cImage();
    EXPECT_EQ(tw_load_firmware(nullptr, image.data(), image.size()), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_load_firmware(machine.m, nullptr, image.size()), TW_ERR_ARGUMENT);
    EXPECT_STREQ(tw_last_error(machine.m), "");
}

TEST(FirmwareLoad, SizeLimitsAreInclusive) {
    FingerprintScope scope(withoutAnchor());
    Machine machine;
    for (size_t size : {size_t(0), size_t(8), kSmallestFirmware - 1, kLargestFirmware + 1}) {
        std::vector<uint8_t> image = size >= 8 ? blankImage(size) : std::vector<uint8_t>(size + 1);
        EXPECT_EQ(tw_load_firmware(machine.m, image.data(), size), TW_ERR_FIRMWARE) << size;
        EXPECT_STREQ(tw_last_error(machine.m), kSizeError);
        EXPECT_EQ(machine.m->firmware, nullptr);
    }
    for (size_t size : {kSmallestFirmware, kLargestFirmware}) {
        EXPECT_EQ(machine.load(blankImage(size)), TW_ERR_FIRMWARE) << size;
        EXPECT_STREQ(tw_last_error(machine.m), kUnknownError); // past the size check
        EXPECT_EQ(machine.m->firmwareSize, size);
    }
}

TEST(FirmwareLoad, VectorTableLimits) {
    FingerprintScope scope(withoutAnchor());
    Machine machine;
    struct Case {
        uint32_t sp, reset;
        bool passes;
    };
    const uint32_t end = 0x4000 + uint32_t(kSmallestFirmware);
    for (Case c : {Case{0x20010000, 0x4001, true}, Case{0x20010004, 0x4001, false}, Case{0x1FFFFFF0, 0x4001, false},
                   Case{0x20000000, 0x4000, true}, Case{0x20000000, 0x3FFF, false}, Case{0x20000000, end, false},
                   Case{0x20000000, end - 1, true}, Case{0x20000000, end + 1, false},
                   Case{0x20000000, 0xFFFFFFFF, false}, Case{0, 0, false}}) {
        auto image = blankImage();
        putWord(image, 0, c.sp);
        putWord(image, 4, c.reset);
        machine.load(image);
        EXPECT_STREQ(tw_last_error(machine.m), c.passes ? kUnknownError : kVectorError)
            << std::hex << c.sp << " " << c.reset;
    }
}

TEST(FirmwareLoad, RefusedFilesKeepThePreviousFirmware) {
    FingerprintScope scope;
    Machine machine;
    ASSERT_EQ(machine.load(hp16cImage(true)), TW_OK);
    machine.m->mode = 1;
    const uint8_t* copy = machine.m->firmware.get();

    auto badVectors = hp15cImage();
    putWord(badVectors, 4, 0x3001);
    EXPECT_EQ(machine.load(badVectors), TW_ERR_FIRMWARE);
    EXPECT_STREQ(tw_last_error(machine.m), kVectorError);
    EXPECT_EQ(machine.load(blankImage(kSmallestFirmware - 2)), TW_ERR_FIRMWARE);
    EXPECT_STREQ(tw_last_error(machine.m), kSizeError);

    EXPECT_EQ(machine.m->firmware.get(), copy);
    EXPECT_EQ(tw_family(machine.m), 16u);
    EXPECT_EQ(tw_mode(machine.m), 1);
    EXPECT_STREQ(tw_firmware_description(machine.m), "HP-16C CE firmware (extended memory)");
}

TEST(FirmwareLoad, IdentifiesEachFamily) {
    FingerprintScope scope;
    Machine machine;

    ASSERT_EQ(machine.load(hp16cImage(false)), TW_OK);
    EXPECT_EQ(tw_family(machine.m), 16u);
    EXPECT_EQ(tw_model(machine.m), 16u);
    EXPECT_EQ(tw_model_code(machine.m), 160u); // before a start: model x 10
    EXPECT_EQ(tw_extended_memory(machine.m), 0u);
    EXPECT_EQ(machine.m->anchor, 48546u);
    EXPECT_EQ(machine.m->layoutFlag, 1u);
    EXPECT_STREQ(tw_firmware_description(machine.m), "HP-16C CE firmware");

    ASSERT_EQ(machine.load(hp16cImage(true, kLargestFirmware)), TW_OK);
    EXPECT_EQ(tw_extended_memory(machine.m), 1u);
    EXPECT_STREQ(tw_firmware_description(machine.m), "HP-16C CE firmware (extended memory)");

    ASSERT_EQ(machine.load(multiModelImage()), TW_OK);
    EXPECT_EQ(tw_family(machine.m), 99u);
    EXPECT_EQ(tw_model(machine.m), 12u);
    EXPECT_EQ(tw_extended_memory(machine.m), 0u);
    EXPECT_EQ(machine.m->anchor, 101778u);
    EXPECT_STREQ(tw_firmware_description(machine.m), "HP-12C CE multi firmware (12C / 15C / 16C)");

    machine.m->mode = 1; // a load returns the machine to not started
    ASSERT_EQ(machine.load(hp15cImage()), TW_OK);
    EXPECT_EQ(tw_mode(machine.m), -1);
    EXPECT_EQ(tw_family(machine.m), 15u);
    EXPECT_EQ(tw_model_code(machine.m), 150u);
    EXPECT_EQ(machine.m->layoutFlag, 0u);
    EXPECT_STREQ(tw_firmware_description(machine.m), "HP-15C CE firmware");
}

TEST(FirmwareLoad, LowestHP15CAnchorAndTheMultiModelAnchorWithLayout) {
    FingerprintScope scope;
    Machine machine;
    auto lowest = blankImage();
    putAnchor(lowest, 65538); // emulated 81922, the first even offset at or above 81921
    ASSERT_EQ(machine.load(lowest), TW_OK);
    EXPECT_EQ(tw_family(machine.m), 15u);

    auto multi = multiModelImage();
    putLayout(multi); // the layout flag does not matter to the multi-model firmware
    ASSERT_EQ(machine.load(multi), TW_OK);
    EXPECT_EQ(tw_family(machine.m), 99u);
}

TEST(FirmwareLoad, ImagesThatIdentifyAsNothing) {
    FingerprintScope scope;
    Machine machine;
    struct Case {
        const char* what;
        std::vector<uint8_t> image;
    };
    auto twoAnchors = hp16cImage();
    putAnchor(twoAnchors, kAnchorHP15C);
    auto noLayout = blankImage();
    putAnchor(noLayout, kAnchorHP16C);
    auto partLayout = hp16cImage();
    partLayout[kLayoutOffsets[2] + 15] ^= 1;
    auto hp15cWithLayout = hp15cImage();
    putLayout(hp15cWithLayout);
    auto lowAnchor = blankImage();
    putAnchor(lowAnchor, 65534); // emulated 81918
    auto oddAnchor = blankImage();
    putAnchor(oddAnchor, kAnchorHP15C + 1);
    auto lastWindow = blankImage();
    putAnchor(lastWindow, kSmallestFirmware - 16); // o + 16 equals the size: not scanned
    Case cases[] = {{"two anchors", twoAnchors},         {"16C anchor without layout", noLayout},
                    {"one layout window differs", partLayout}, {"15C anchor with layout", hp15cWithLayout},
                    {"anchor below 81921", lowAnchor},   {"odd anchor", oddAnchor},
                    {"anchor in the last window", lastWindow}, {"nothing", blankImage()}};
    for (auto& c : cases) {
        ASSERT_EQ(machine.load(hp16cImage()), TW_OK);
        EXPECT_EQ(machine.load(c.image), TW_ERR_FIRMWARE) << c.what;
        EXPECT_STREQ(tw_last_error(machine.m), kUnknownError) << c.what;
        EXPECT_EQ(tw_family(machine.m), 0u) << c.what;
        EXPECT_EQ(tw_model(machine.m), 0u) << c.what;
        EXPECT_STREQ(tw_firmware_description(machine.m), "unknown firmware") << c.what;
        // The copy stays, unidentified.
        EXPECT_NE(machine.m->firmware, nullptr) << c.what;
        EXPECT_EQ(machine.m->firmwareSize, c.image.size()) << c.what;
    }
}

TEST(FirmwareLoad, BuiltInFingerprintsDoNotIdentifyTestImages) {
    Machine machine;
    EXPECT_EQ(machine.load(hp16cImage()), TW_ERR_FIRMWARE);
    EXPECT_EQ(machine.m->layoutFlag, 0u);
    EXPECT_EQ(machine.m->anchor, 0u);
}

TEST(FirmwareLoad, FingerprintsAreComparedAsLowerCaseText) {
    tw_fingerprints upper = testFingerprints();
    for (char* p = upper.anchor; *p; ++p) *p = char(std::toupper(*p));
    FingerprintScope scope(upper);
    Machine machine;
    EXPECT_EQ(machine.load(hp15cImage()), TW_ERR_FIRMWARE);
}

TEST(FirmwareLoad, ALaterLoadForgetsTheModelCodeOfTheFirst) {
    FingerprintScope scope;
    Machine machine;
    ASSERT_EQ(machine.load(hp15cImage()), TW_OK);
    machine.m->modelCode = 152;
    ASSERT_EQ(machine.load(hp16cImage()), TW_OK);
    EXPECT_EQ(tw_model_code(machine.m), 160u);
}

} // namespace
