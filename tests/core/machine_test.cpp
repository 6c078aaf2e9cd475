#include "core/machine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace tw {

namespace {

struct Machine {
    tw_machine* m = tw_create();
    ~Machine() { tw_destroy(m); }
};

TEST(Machine, NullHandleGivesNeutralAnswers) {
    EXPECT_STREQ(tw_last_error(nullptr), "no calculator");
    EXPECT_EQ(tw_mode(nullptr), -1);
    EXPECT_EQ(tw_family(nullptr), 0u);
    EXPECT_EQ(tw_model(nullptr), 0u);
    EXPECT_EQ(tw_model_code(nullptr), 0u);
    EXPECT_STREQ(tw_firmware_description(nullptr), "");
    EXPECT_EQ(tw_read_word(nullptr, 0x20000000), 0u);
    EXPECT_EQ(tw_set_battery(nullptr, 3.0), TW_ERR_ARGUMENT);
    uint8_t memory[TW_MEMORY_SIZE] = {};
    EXPECT_EQ(tw_write_memory(nullptr, memory), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_read_memory(nullptr, memory), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_machine_cpu(nullptr), nullptr);
    EXPECT_EQ(tw_extended_memory(nullptr), 0u);
    tw_destroy(nullptr);
}

TEST(Machine, FreshRecordIsNotStartedAndRefusesMemoryCopies) {
    Machine machine;
    ASSERT_NE(machine.m, nullptr);
    EXPECT_EQ(tw_mode(machine.m), -1);
    EXPECT_EQ(tw_family(machine.m), 0u);
    EXPECT_STREQ(tw_last_error(machine.m), "");
    EXPECT_EQ(machine.m->regCapacity, 1024u);
    EXPECT_EQ(machine.m->battery, 3.0);
    EXPECT_EQ(tw_machine_cpu(machine.m), &machine.m->cpu);

    uint8_t memory[TW_MEMORY_SIZE] = {};
    EXPECT_EQ(tw_read_memory(machine.m, memory), TW_ERR_STATE);
    EXPECT_EQ(tw_write_memory(machine.m, memory), TW_ERR_STATE);
    EXPECT_EQ(tw_read_memory(machine.m, nullptr), TW_ERR_ARGUMENT);
    EXPECT_EQ(tw_write_memory(machine.m, nullptr), TW_ERR_ARGUMENT);
    // Nothing is mapped before a start, whatever the address.
    machine.m->ram[0] = 0x55;
    for (uint32_t address : {0x0u, 0x4000u, 0x20000000u, 0x40038008u, 0xFFFFFFFCu})
        EXPECT_EQ(tw_read_word(machine.m, address), 0u);
    EXPECT_STREQ(tw_last_error(machine.m), "");
}

TEST(Machine, BatteryAcceptsZeroToFourVoltsOnly) {
    Machine machine;
    EXPECT_EQ(tw_set_battery(machine.m, 0.0), TW_OK);
    EXPECT_EQ(tw_set_battery(machine.m, 4.0), TW_OK);
    for (double bad : {4.01, -0.01, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                       -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(tw_set_battery(machine.m, bad), TW_ERR_ARGUMENT) << bad;
    EXPECT_EQ(machine.m->battery, 4.0);
}

TEST(Machine, MemoryImageIsCopiedAtRamOffset24OnceStarted) {
    Machine machine;
    machine.m->mode = 1;
    std::vector<uint8_t> image(TW_MEMORY_SIZE);
    for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i * 7 + 3);
    ASSERT_EQ(tw_write_memory(machine.m, image.data()), TW_OK);
    EXPECT_EQ(machine.m->ram[23], 0);
    EXPECT_EQ(machine.m->ram[24], image[0]);
    EXPECT_EQ(machine.m->ram[24 + 2047], image[2047]);
    EXPECT_EQ(machine.m->ram[24 + 2048], 0);

    std::vector<uint8_t> back(TW_MEMORY_SIZE);
    machine.m->mode = 0;
    ASSERT_EQ(tw_read_memory(machine.m, back.data()), TW_OK);
    EXPECT_EQ(back, image);
}

TEST(Machine, ReadWordGoesThroughTheQuietBusOnceStarted) {
    Machine machine;
    tw_cpu* cpu = tw_machine_cpu(machine.m);
    cpu->bus.ram = machine.m->ram.get();
    cpu->bus.ramSize = 0x10000;
    machine.m->mode = 1;
    machine.m->ram[0x10] = 0x78;
    machine.m->ram[0x13] = 0x12;
    EXPECT_EQ(tw_read_word(machine.m, 0x20000010), 0x12000078u);
    EXPECT_EQ(tw_read_word(machine.m, 0x30000000), 0u); // unmapped, and no fault recorded
    EXPECT_EQ(cpu->faultFlag, 0u);
}

TEST(Machine, LastErrorIsCutToItsField) {
    Machine machine;
    std::string longText(500, 'x');
    tw::setLastError(machine.m, longText.c_str());
    EXPECT_EQ(std::string(tw_last_error(machine.m)), std::string(199, 'x'));
}

} // namespace

} // namespace tw
