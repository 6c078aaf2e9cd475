// A program-runner start whose 1 MB buffers cannot be allocated.
#include "core/allocation/failing_new.h"
#include "machine_helpers.h"
#include "support/test_firmware.h"

#include <gtest/gtest.h>

namespace {

using namespace tw::test;
using tw::test::Firmware;

TEST(RunnerBuffers, FailedAllocationLeavesNoRunnerBehind) {
    TW_REQUIRE_TEST_FIRMWARE();
    auto m = tw::test::startedMachine(Firmware::Hp16c, 0, 1);
    ASSERT_TRUE(m);

    for (long failing : {0L, 1L}) { // the first or the second of the two buffers
        tw::test::failNothrowAllocation(failing);
        EXPECT_EQ(tw_start(m.get(), 0, 1), TW_ERR_ARGUMENT);
        tw::test::failNothrowAllocation(-1);

        EXPECT_EQ(tw_mode(m.get()), -1);
        EXPECT_EQ(m->runnerPeriph, nullptr);
        EXPECT_EQ(m->runnerSystem, nullptr);
        EXPECT_EQ(tw_runner_key(m.get(), 26, 0), TW_ERR_STATE);
        struct tw_lcd record;
        EXPECT_EQ(tw_lcd(m.get(), &record), TW_ERR_STATE);
        EXPECT_EQ(tw_read_word(m.get(), 0x40080014u), 0u);
        EXPECT_EQ(tw_memory_ptr(m.get()), nullptr);

        ASSERT_EQ(tw_start(m.get(), 0, 1), TW_OK); // and it starts again once memory is there
        EXPECT_EQ(displayText(m.get()), "0         ");
    }
}

} // namespace
