#include "core/tw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace tw {

namespace {

// A bare CPU block over small flash and RAM buffers, with an optional peripheral.
struct BareBus {
    std::vector<uint8_t> flash = std::vector<uint8_t>(0x40000);
    std::vector<uint8_t> ram = std::vector<uint8_t>(0x10000);
    std::map<uint32_t, uint32_t> peripheral; // address -> value, served by the callbacks
    tw_cpu cpu{};

    BareBus() {
        cpu.bus.flash = flash.data();
        cpu.bus.flashSize = uint32_t(flash.size());
        cpu.bus.ram = ram.data();
        cpu.bus.ramSize = uint32_t(ram.size());
        cpu.bus.context = this;
        cpu.bus.read = [](void* c, uint32_t a, uint32_t, uint32_t* out) {
            auto* self = static_cast<BareBus*>(c);
            auto it = self->peripheral.find(a);
            if (it == self->peripheral.end()) return 1;
            *out = it->second;
            return 0;
        };
        cpu.bus.write = [](void* c, uint32_t a, uint32_t, uint32_t v) {
            auto* self = static_cast<BareBus*>(c);
            if (a < 0x40000000u) return 1;
            self->peripheral[a] = v;
            return 0;
        };
        tw_cpu_reset(&cpu);
    }
};

TEST(Bus, FlashAndRamAreLittleEndianAndUnaligned) {
    BareBus bus;
    tw_bus_write(&bus.cpu, 0x20000001, 4, 0x11223344);
    EXPECT_EQ(bus.ram[1], 0x44);
    EXPECT_EQ(bus.ram[4], 0x11);
    EXPECT_EQ(tw_bus_read(&bus.cpu, 0x20000002, 2), 0x2233u);
    tw_bus_write(&bus.cpu, 0x100, 3, 0xA1B2C3D4); // width 3 counts as 4
    EXPECT_EQ(tw_bus_read(&bus.cpu, 0x100, 4), 0xA1B2C3D4u);
    EXPECT_EQ(bus.cpu.faultFlag, 0u);
}

TEST(Bus, AccessStraddlingTheEndOfFlashGoesToTheCallbackAndFaults) {
    BareBus bus;
    bus.cpu.regs[15] = 0x4010;
    EXPECT_EQ(tw_bus_read(&bus.cpu, 0x0003FFFE, 4), 0u);
    EXPECT_STREQ(bus.cpu.faultText, "bus fault: read32 at 0x0003fffe (pc 0x00004010)");
    // The first fault is kept.
    tw_bus_write(&bus.cpu, 0x30000000, 1, 0);
    EXPECT_STREQ(bus.cpu.faultText, "bus fault: read32 at 0x0003fffe (pc 0x00004010)");
    bus.cpu.faultFlag = 0;
    tw_bus_write(&bus.cpu, 0x30000000, 2, 0);
    EXPECT_STREQ(bus.cpu.faultText, "bus fault: write16 at 0x30000000 (pc 0x00004010)");
}

TEST(Bus, QuietAccessRecordsNoFaultAndCutsCallbackValuesToWidth) {
    BareBus bus;
    uint32_t v = 7;
    EXPECT_NE(tw_bus_read_quiet(&bus.cpu, 0x30000000, 4, &v), 0);
    EXPECT_EQ(bus.cpu.faultFlag, 0u);
    bus.peripheral[0x40000000] = 0xCAFEBABE;
    ASSERT_EQ(tw_bus_read_quiet(&bus.cpu, 0x40000000, 1, &v), 0);
    EXPECT_EQ(v, 0xBEu);
    ASSERT_EQ(tw_bus_read_quiet(&bus.cpu, 0x40000000, 2, &v), 0);
    EXPECT_EQ(v, 0xBABEu);
}

TEST(Bus, RamEndIsCheckedWithoutWrapping) {
    BareBus bus;
    uint32_t v;
    EXPECT_EQ(tw_bus_read_quiet(&bus.cpu, 0x2000FFFC, 4, &v), 0);
    EXPECT_NE(tw_bus_read_quiet(&bus.cpu, 0x2000FFFE, 4, &v), 0);
    EXPECT_NE(tw_bus_read_quiet(&bus.cpu, 0x1FFFFFFF, 2, &v), 0);
    EXPECT_NE(tw_bus_read_quiet(&bus.cpu, 0xFFFFFFFE, 4, &v), 0);
}

int stopHook(void*, uint32_t, void*) { return 1; }

TEST(Bus, HooksKeepTheirRangeAndANinthIsIgnored) {
    BareBus bus;
    EXPECT_EQ(bus.cpu.hookLow, 0xFFFFFFFFu);
    EXPECT_EQ(bus.cpu.hookHigh, 0u);
    for (uint32_t i = 0; i < 9; ++i) tw_cpu_add_hook(&bus.cpu, 0x5000 + 2 * i, stopHook, nullptr);
    EXPECT_EQ(bus.cpu.hookCount, 8);
    EXPECT_EQ(bus.cpu.hookLow, 0x5000u);
    EXPECT_EQ(bus.cpu.hookHigh, 0x500Eu);
}

TEST(Bus, AddingAHookReportsWhetherItWasAdded) {
    BareBus bus;
    for (uint32_t i = 0; i < TW_MAX_HOOKS; ++i) EXPECT_EQ(tw_cpu_add_hook(&bus.cpu, 0x5000 + 2 * i, stopHook, nullptr), TW_OK);
    EXPECT_EQ(tw_cpu_add_hook(&bus.cpu, 0x6000, stopHook, nullptr), TW_ERR_STATE);
    EXPECT_EQ(bus.cpu.hookHigh, 0x500Eu); // the refused hook does not widen the range
    EXPECT_EQ(tw_cpu_add_hook(nullptr, 0x6000, stopHook, nullptr), TW_ERR_ARGUMENT);
    tw_cpu_reset(&bus.cpu);
    EXPECT_EQ(tw_cpu_add_hook(&bus.cpu, 0x6000, stopHook, nullptr), TW_OK);
}

TEST(Bus, ResetKeepsTheBusAndDropsHooksAndFault) {
    BareBus bus;
    bus.cpu.regs[3] = 9;
    bus.cpu.faultFlag = 1;
    std::strcpy(bus.cpu.faultText, "x");
    tw_cpu_add_hook(&bus.cpu, 0x4000, stopHook, nullptr);
    tw_cpu_reset(&bus.cpu);
    EXPECT_EQ(bus.cpu.regs[3], 0u);
    EXPECT_EQ(bus.cpu.faultFlag, 0u);
    EXPECT_EQ(bus.cpu.faultText[0], 0);
    EXPECT_EQ(bus.cpu.hookCount, 0);
    EXPECT_EQ(bus.cpu.hookLow, 0xFFFFFFFFu);
    EXPECT_EQ(bus.cpu.bus.flash, bus.flash.data());
    EXPECT_EQ(bus.cpu.bus.context, &bus);
    EXPECT_NE(bus.cpu.bus.read, nullptr);
}

} // namespace

} // namespace tw
