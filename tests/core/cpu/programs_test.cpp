// Compiled C programs run to completion on our interpreter and on Unicorn: the
// same result, registers, RAM and instruction count.
#include "core/cpu/oracle.h"
#include "core/cpu/program_image.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tw {

namespace {

using namespace tw::test;

class CpuPrograms : public ::testing::TestWithParam<std::string> {};

TEST_P(CpuPrograms, RunLikeUnicorn) {
    const std::string path = std::string(TW_CPU_PROGRAM_DIR) + "/" + GetParam() + ".bin";
    std::vector<uint8_t> image = readProgram(path);
    BareCpu ours;
    ASSERT_TRUE(startProgram(ours, image)) << path;

    Oracle oracle;
    ASSERT_TRUE(oracle.ok());
    oracle.write(0, ours.flash.data(), ours.flash.size());
    oracle.write(kRamBase, ours.ram.data(), ours.ram.size());
    oracle.setState(ours.cpu);

    ASSERT_EQ(ours.run(500'000'000, kProgramHalt), TW_RUN_STOP_PC) << ours.cpu.faultText;
    EXPECT_EQ(ours.cpu.regs[0], 0u) << "the program's own check failed";

    uint64_t theirCount = 0;
    ASSERT_EQ(oracle.runUntil(kProgramHalt, &theirCount), UC_ERR_OK);
    tw_cpu theirs = ours.cpu;
    oracle.getState(theirs);
    EXPECT_EQ(compareState(ours.cpu, theirs), "");
    EXPECT_EQ(ours.cpu.instructionCount, theirCount);

    std::vector<uint8_t> theirRam(kRamSize);
    oracle.read(kRamBase, theirRam.data(), theirRam.size());
    auto mismatch = std::mismatch(ours.ram.begin(), ours.ram.end(), theirRam.begin());
    EXPECT_TRUE(mismatch.first == ours.ram.end()) << "RAM differs at offset " << (mismatch.first - ours.ram.begin());
}

std::vector<std::string> programNames() {
    std::vector<std::string> names;
    for (const std::string& program : splitNames(TW_CPU_PROGRAMS))
        for (const char* level : {"O0", "O2", "Os"}) names.push_back(program + "_" + level);
    return names;
}

INSTANTIATE_TEST_SUITE_P(Compiled, CpuPrograms, ::testing::ValuesIn(programNames()),
                         [](const auto& testInfo) { return testInfo.param; });

} // namespace

} // namespace tw
