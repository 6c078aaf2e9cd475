#include "calculator_bus.h"
#include "core/bus/key_matrix.h"

#include <gtest/gtest.h>

#include <set>

namespace tw {

namespace {

using tw::test::CalculatorBus;

constexpr uint32_t kGpio = 0x400E1000;
constexpr uint32_t port(uint32_t p) { return kGpio + 0x200 * p; }

// Drives row r of the matrix: port 2 bit r as an output, driven low.
void driveRowLow(CalculatorBus& bus, uint32_t bit) {
    bus.write(port(2) + 0x44, 1u << bit); // direction set
    bus.write(port(2) + 0x58, 1u << bit); // output clear
}

TEST(KeyMatrix, PressedKeyPullsItsColumnLowWhileItsRowIsDrivenLow) {
    CalculatorBus bus;
    bus.m->keys[12] = 1;
    bus.m->peripherals.portDir[2] = 1u << 4;
    bus.m->peripherals.portOut[2] = 0;
    EXPECT_EQ(bus.read(0x400E1260), 0xFFFFFFDFu);
    bus.m->peripherals.portOut[2] = 1u << 4;
    EXPECT_EQ(bus.read(0x400E1260), 0xFFFFFFFFu);
    bus.m->peripherals.portOut[2] = 0;
    bus.m->peripherals.portDir[2] = 0; // row is an input: no key seen
    EXPECT_EQ(bus.read(0x400E1260), 0xFFFFFFFFu);
}

TEST(KeyMatrix, EveryKeyReadsOnExactlyOneColumnBit) {
    std::set<std::pair<int, int>> columns;
    for (int k = 0; k < tw::kKeyCount; ++k) {
        CalculatorBus bus;
        const auto row = tw::kKeyRows[k / 10];
        ASSERT_EQ(row.port, 2);
        driveRowLow(bus, row.bit);
        bus.m->keys[k] = 1;
        int low = 0;
        for (uint32_t p = 0; p < 3; ++p) {
            const uint32_t input = bus.read(port(p) + 0x60);
            for (int bit = 0; bit < 32; ++bit)
                if (!(input >> bit & 1)) {
                    ++low;
                    if (k < 10) columns.insert({int(p), bit});
                    EXPECT_EQ(p, tw::kKeyColumns[k % 10].port) << k;
                    EXPECT_EQ(bit, tw::kKeyColumns[k % 10].bit) << k;
                }
        }
        EXPECT_EQ(low, 1) << "key " << k;
    }
    EXPECT_EQ(columns.size(), 10u); // ten distinct column lines
}

TEST(KeyMatrix, OnKeyReadsOnPortOneBitOne) {
    CalculatorBus bus;
    bus.m->onKey = 1;
    EXPECT_EQ(bus.read(port(1) + 0x60), 0xFFFFFFFDu);
    EXPECT_EQ(bus.read(port(0) + 0x60), 0xFFFFFFFFu);
    EXPECT_EQ(bus.read(port(1) + 0x60, 1), 0xFDu);
}

TEST(Gpio, DirectionAndOutputRegistersWithSetClearToggle) {
    CalculatorBus bus;
    bus.write(port(1) + 0x40, 0xF0);
    bus.write(port(1) + 0x44, 0x01);
    bus.write(port(1) + 0x48, 0x30);
    bus.write(port(1) + 0x4C, 0x81);
    EXPECT_EQ(bus.m->peripherals.portDir[1], 0x40u);
    EXPECT_EQ(bus.read(port(1) + 0x40), 0x40u);
    bus.write(port(0) + 0x54, 0x6);
    bus.write(port(0) + 0x5C, 0x3);
    EXPECT_EQ(bus.read(port(0) + 0x50), 0x5u);
    bus.write(port(2) + 0x58, 0x4);
    EXPECT_EQ(bus.m->peripherals.portOut[2], 0u);
    // Other offsets are only stored, and read back without the repeated-read rule.
    bus.write(port(2) + 0x20, 0x1234);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(bus.read(port(2) + 0x20), 0x1234u);
    EXPECT_EQ(bus.m->peripherals.portDir[2], 0u);
    // An unaligned offset inside the register range changes no port.
    bus.write(port(2) + 0x42, 0xFF, 1);
    EXPECT_EQ(bus.m->peripherals.portDir[2], 0u);
}

TEST(Peripherals, RepeatedReadsOfOneRegisterFlipAfterFortyOneReads) {
    CalculatorBus bus;
    const uint32_t reg = 0x40050000;
    for (int i = 0; i < 41; ++i) ASSERT_EQ(bus.read(reg), 0u) << i;
    EXPECT_EQ(bus.read(reg), 0xFFFFFFFFu); // the 42nd
    for (int i = 0; i < 40; ++i) ASSERT_EQ(bus.read(reg), 0xFFFFFFFFu) << i;
    EXPECT_EQ(bus.read(reg), 0u); // back again after 41 complements

    // Reading another address of this kind starts over; modelled registers do not.
    bus.write(reg, 0x5A);
    bus.read(0x40050004);
    for (int i = 0; i < 30; ++i) ASSERT_EQ(bus.read(reg), 0x5Au);
    bus.read(0x40038008); // timer status leaves the state alone
    for (int i = 0; i < 11; ++i) ASSERT_EQ(bus.read(reg), 0x5Au);
    EXPECT_EQ(bus.read(reg, 1), 0xA5u); // complemented, cut to the width
    bus.read(0x40050004);
    EXPECT_EQ(bus.read(reg), 0x5Au);
}

TEST(Peripherals, TimerControlStatusAndClear) {
    CalculatorBus bus;
    bus.write(0x40038000, (1u << 8) | (1u << 3)); // start, then pending since running
    EXPECT_EQ(bus.m->peripherals.timerRunning, 1u);
    EXPECT_EQ(bus.m->peripherals.timerPending, 1u);
    EXPECT_EQ(bus.read(0x40038008), (1u << 24) | 1u);
    bus.write(0x4003800C, 1);
    EXPECT_EQ(bus.read(0x40038008), 1u << 24);

    bus.write(0x40038000, (1u << 9) | (1u << 3)); // stop; bit 3 no longer sees it running
    EXPECT_EQ(bus.m->peripherals.timerRunning, 0u);
    EXPECT_EQ(bus.m->peripherals.timerPending, 0u);
    bus.m->peripherals.timerPending = 1;
    bus.write(0x40038000, (1u << 9) | (1u << 3));
    EXPECT_EQ(bus.m->peripherals.timerPending, 1u); // unchanged

    bus.write(0x40038000, 1u << 3); // not running: nothing pends
    bus.m->peripherals.timerPending = 0;
    bus.write(0x40038000, 1u << 3);
    EXPECT_EQ(bus.m->peripherals.timerPending, 0u);

    bus.m->peripherals.inInterrupt = 1;
    bus.m->peripherals.timerRunning = 1;
    EXPECT_EQ(bus.read(0x40038008), 1u);
    bus.m->peripherals.timerRunning = 0;
    EXPECT_EQ(bus.read(0x40038008), 1u);
}

TEST(Peripherals, AdcStatusBitAndNvicEnableWatch) {
    CalculatorBus bus;
    bus.m->peripherals.adcValue = 3072;
    EXPECT_EQ(bus.read(0x4003802C), 3072u);
    EXPECT_EQ(bus.read(0x4003802C, 1), 0x00u);
    EXPECT_EQ(bus.read(0x400A0008), 1u);
    bus.write(0x400A0008, 0x10);
    EXPECT_EQ(bus.read(0x400A0008), 0x11u);

    bus.write(0xE000E104, 0x40); // another interrupt
    EXPECT_EQ(bus.m->peripherals.irq39Enabled, 0u);
    bus.write(0xE000E104, 0x80, 1);
    EXPECT_EQ(bus.m->peripherals.irq39Enabled, 1u);
    bus.write(0xE000E184, 0x01);
    EXPECT_EQ(bus.m->peripherals.irq39Enabled, 1u);
    bus.write(0xE000E184, 0x80);
    EXPECT_EQ(bus.m->peripherals.irq39Enabled, 0u);
    EXPECT_EQ(bus.read(0xE000E184), 0x80u);
    // The system range has no repeated-read rule.
    for (int i = 0; i < 100; ++i) ASSERT_EQ(bus.read(0xE000E104), 0x80u);
    EXPECT_EQ(bus.read(0xE000ED00), 0u);
}

TEST(Peripherals, NarrowWritesReplaceTheWholeStoredWord) {
    CalculatorBus bus;
    bus.write(0x40060000, 0xAABBCCDD);
    bus.write(0x40060000, 0x11223344, 1);
    EXPECT_EQ(tw::registerStoreLookup(bus.m, 0x40060000), 0x44u);
    bus.write(0xE000E400, 0xAABBCCDD);
    bus.write(0xE000E400, 0x11223344, 2);
    EXPECT_EQ(bus.read(0xE000E400), 0x3344u);
}

TEST(Peripherals, WindowsAndUnmappedAddresses) {
    CalculatorBus bus;
    EXPECT_EQ(bus.read(0x00800000), 0xFFFFFFFFu);
    bus.write(0x00800FFC, 0x01020304);
    EXPECT_EQ(bus.read(0x00800FFE, 2), 0x0102u);
    bus.write(0xFFFFFFFC, 0xCAFEF00D);
    EXPECT_EQ(bus.read(0xFFFF0000), 0u);
    EXPECT_EQ(bus.read(0xFFFFFFFF, 1), 0xCAu);
    EXPECT_EQ(bus.cpu->faultFlag, 0u);

    // Accesses that run off a window's end are not served.
    uint32_t v;
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0x00800FFE, 4, &v), 0);
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0xFFFFFFFE, 4, &v), 0);
    EXPECT_NE(tw_bus_write_quiet(bus.cpu, 0x00801000, 1, 0), 0);
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0x40100000, 4, &v), 0);
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0xE0100000, 4, &v), 0);

    bus.cpu->regs[15] = 0x4A2C;
    EXPECT_EQ(bus.read(0x0003FFFE), 0u);
    EXPECT_STREQ(bus.cpu->faultText, "bus fault: read32 at 0x0003fffe (pc 0x00004a2c)");
}

TEST(RunnerBus, PeripheralAndSystemRangesArePlainMemory) {
    CalculatorBus bus;
    bus.m->runnerPeriph.reset(new uint8_t[tw_machine::kRunnerBufferSize]());
    bus.m->runnerSystem.reset(new uint8_t[tw_machine::kRunnerBufferSize]());
    bus.cpu->bus.read = tw::runnerBusRead;
    bus.cpu->bus.write = tw::runnerBusWrite;

    bus.write(0x40038000, 0x00000108); // no timer here
    EXPECT_EQ(bus.m->peripherals.timerRunning, 0u);
    EXPECT_EQ(bus.m->runnerPeriph[0x38000], 0x08);
    EXPECT_EQ(bus.m->runnerPeriph[0x38001], 0x01);
    bus.write(0xE00FFFFC, 0xA1B2C3D4);
    EXPECT_EQ(bus.read(0xE00FFFFD, 2), 0xB2C3u);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(bus.read(0x40050000), 0u); // no repeated-read rule
    bus.write(0x40000001, 0xFFFF, 1);
    EXPECT_EQ(bus.read(0x40000000), 0x0000FF00u);

    uint32_t v;
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0x400FFFFE, 4, &v), 0);
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0x00800000, 4, &v), 0); // no windows in this mode
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0xFFFF0000, 4, &v), 0);
    bus.m->runnerSystem.reset(); // freed in the whole-calculator mode
    EXPECT_NE(tw_bus_read_quiet(bus.cpu, 0xE0000000, 4, &v), 0);
}

} // namespace

} // namespace tw
