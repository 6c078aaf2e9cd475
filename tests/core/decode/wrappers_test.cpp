// The tw_ decoding functions: argument checks, and the state failures of a machine
// that cannot be decoded, each with a text for the user.
#include "core/tw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace tw {

namespace {

TEST(DecodeInterface, RefusesNullHandlesAndBadArguments)
{
    struct tw_memory_status status{};
    tw_register reg{};
    tw_pool pool{};
    tw_prog_line line{};
    EXPECT_EQ(tw_memory_status(nullptr, &status), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_stack_register(nullptr, 0, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_storage_register(nullptr, 0, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_program_lines(nullptr, 1, &line, 1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_pool_status(nullptr, &pool), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_imaginary_register(nullptr, 0, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_matrix_element(nullptr, 0, 1, 1, &reg), TW_ERR_ARGUMENT);
}

struct MachineDeleter {
    void operator()(tw_machine* m) const { tw_destroy(m); }
};
using Machine = std::unique_ptr<tw_machine, MachineDeleter>;

// A machine that was never started: nothing to decode.
class UnstartedMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        machine.reset(tw_create());
        if (!machine)
            GTEST_SKIP() << "machine records are not built yet";
    }
    Machine machine;
};

TEST_F(UnstartedMachine, ArgumentFailuresComeFirst)
{
    tw_register reg{};
    tw_prog_line line{};
    EXPECT_EQ(tw_stack_register(machine.get(), -1, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_stack_register(machine.get(), 11, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_stack_register(machine.get(), 0, nullptr), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_storage_register(machine.get(), -1, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_program_lines(machine.get(), 0, &line, 1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_program_lines(machine.get(), 1, &line, -1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_program_lines(machine.get(), 1, nullptr, 1), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_imaginary_register(machine.get(), -1, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_imaginary_register(machine.get(), 5, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_matrix_element(machine.get(), -1, 1, 1, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_matrix_element(machine.get(), 5, 1, 1, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_matrix_element(machine.get(), 0, 0, 1, &reg), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_matrix_element(machine.get(), 0, 1, -3, &reg), TW_ERR_ARGUMENT);
}

TEST_F(UnstartedMachine, StateFailuresCarryAText)
{
    struct tw_memory_status status{};
    status.model = 99;
    tw_register reg{};
    tw_pool pool{};
    tw_prog_line line{};
    const auto failsWithText = [&](int result) {
        EXPECT_EQ(result, TW_ERR_STATE);
        const char* text = tw_last_error(machine.get());
        ASSERT_NE(text, nullptr);
        EXPECT_NE(std::strstr(text, "not running"), nullptr) << text;
    };
    failsWithText(tw_memory_status(machine.get(), &status));
    EXPECT_EQ(status.model, 0u) << "the record is zeroed first";
    failsWithText(tw_stack_register(machine.get(), 4, &reg));
    EXPECT_STREQ(reg.name, "LAST X");
    failsWithText(tw_storage_register(machine.get(), 0, &reg));
    failsWithText(tw_program_lines(machine.get(), 1, &line, 1));
    failsWithText(tw_program_lines(machine.get(), 1, nullptr, 0));
    failsWithText(tw_pool_status(machine.get(), &pool));
    failsWithText(tw_imaginary_register(machine.get(), 0, &reg));
    failsWithText(tw_matrix_element(machine.get(), 0, 1, 1, &reg));
}

} // namespace

} // namespace tw
