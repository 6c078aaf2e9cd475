#include "core/machine.h"
#include "core/bus/peripherals.h"
#include "failing_new.h"
#include "core/synthetic_firmware.h"

#include <gtest/gtest.h>

namespace tw {

namespace {

using namespace tw::test;

struct NoMoreFailures {
    ~NoMoreFailures() { failNothrowAllocation(-1); }
};

// Each allocation of the record failing in turn gives null and leaks nothing
// (the sanitizer build checks the leaks).
TEST(AllocationFailure, CreateGivesNullWhateverAllocationFails) {
    NoMoreFailures guard;
    int failures = 0;
    for (long n = 0; n < 64; ++n) {
        failNothrowAllocation(n);
        tw_machine* m = tw_create();
        failNothrowAllocation(-1);
        if (m) {
            tw_destroy(m);
            break;
        }
        ++failures;
    }
    EXPECT_GE(failures, 8); // the record and every buffer in it
    EXPECT_LT(failures, 64);
}

TEST(AllocationFailure, FailedFirmwareCopyLeavesNoFirmwareBehind) {
    NoMoreFailures guard;
    FingerprintScope scope;
    tw_machine* m = tw_create();
    ASSERT_NE(m, nullptr);
    auto first = hp16cImage(true);
    ASSERT_EQ(tw_load_firmware(m, first.data(), first.size()), TW_OK);
    m->mode = 1;
    m->modelCode = 160;
    tw::setLastError(m, "before");

    auto second = hp15cImage();
    failNothrowAllocation(0);
    EXPECT_EQ(tw_load_firmware(m, second.data(), second.size()), TW_ERR_ARGUMENT);
    failNothrowAllocation(-1);
    EXPECT_EQ(m->firmware, nullptr);
    EXPECT_EQ(m->firmwareSize, 0u);
    EXPECT_EQ(tw_family(m), 0u);
    EXPECT_EQ(tw_model(m), 0u);
    EXPECT_EQ(tw_model_code(m), 0u);
    EXPECT_EQ(tw_extended_memory(m), 0u);
    EXPECT_EQ(tw_mode(m), -1);
    EXPECT_STREQ(tw_firmware_description(m), "");
    EXPECT_STREQ(tw_last_error(m), "before");
    uint32_t out[4];
    EXPECT_EQ(tw_firmware_models(m, out, 4), TW_ERR_STATE);
    EXPECT_EQ(tw_firmware_halfword(m, 0x4000, 0), 0xFFFFFFFFu);

    ASSERT_EQ(tw_load_firmware(m, second.data(), second.size()), TW_OK); // and a retry works
    EXPECT_EQ(tw_family(m), 15u);
    tw_destroy(m);
}

TEST(AllocationFailure, RegisterStoreKeepsWorkingWhenItCannotGrow) {
    NoMoreFailures guard;
    tw_machine* m = tw_create();
    ASSERT_NE(m, nullptr);
    for (uint32_t i = 0; i < 512; ++i) tw::registerStoreInsert(m, 0x40000000 + 4 * i, i + 1);
    for (long n : {0L, 1L, 2L}) { // each of the three new arrays
        failNothrowAllocation(n);
        tw::registerStoreInsert(m, 0x40100000, 99);
        failNothrowAllocation(-1);
        EXPECT_EQ(m->regCapacity, 1024u);
        EXPECT_EQ(m->regCount, 512u);
        EXPECT_EQ(tw::registerStoreLookup(m, 0x40100000), 0u); // this value is lost
    }
    for (uint32_t i = 0; i < 512; ++i) ASSERT_EQ(tw::registerStoreLookup(m, 0x40000000 + 4 * i), i + 1);
    tw::registerStoreInsert(m, 0x40100000, 99); // growth works again
    EXPECT_EQ(m->regCapacity, 2048u);
    EXPECT_EQ(tw::registerStoreLookup(m, 0x40100000), 99u);
    tw_destroy(m);
}

} // namespace

} // namespace tw
