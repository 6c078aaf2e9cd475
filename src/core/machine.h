// The machine record: everything of one emulated calculator. Internal to the core;
// callers see only the opaque tw_machine handle of tw.h.
#pragma once

#include "core/tw.h"
#include "core/bus/peripherals.h"

#include <cstdint>
#include <memory>

struct tw_machine {
    // CPU group: registers, bus, hooks and the fault text. Must stay first.
    tw_cpu cpu{};

    // Firmware group.
    std::unique_ptr<uint8_t[]> firmware; // the record's own copy of the file
    uint64_t firmwareSize = 0;
    uint32_t model = 0;          // 0, 12, 15, 16
    uint32_t family = 0;         // 0, 12, 15, 16, 99
    uint32_t modelCode = 0;      // 0 until read from the running firmware
    uint32_t extendedMemory = 0; // HP-16C only
    uint32_t layoutFlag = 0;
    uint32_t anchor = 0;         // emulated address of the single anchor match
    char description[160] = {};
    char lastError[200] = {};
    int32_t mode = TW_MODE_NONE; // -1 not started, 0 program runner, 1 whole calculator

    // Memory group.
    static constexpr uint32_t kFlashCapacity = 256 * 1024;
    static constexpr uint32_t kRamCapacity = 64 * 1024;
    static constexpr uint32_t kRunnerBufferSize = 1024 * 1024;
    static constexpr uint32_t kRunnerRamSize = 32 * 1024;
    std::unique_ptr<uint8_t[]> flash;
    std::unique_ptr<uint8_t[]> ram;
    std::unique_ptr<uint8_t[]> runnerPeriph; // 1 MB at 0x40000000, mode 0 only
    std::unique_ptr<uint8_t[]> runnerSystem; // 1 MB at 0xE0000000, mode 0 only
    std::unique_ptr<uint8_t[]> window64k;    // 0xFFFF0000, mode 1
    std::unique_ptr<uint8_t[]> window4k;     // 0x00800000, mode 1

    // Peripheral-register store: open addressing, load factor at most one half.
    std::unique_ptr<uint32_t[]> regKeys;
    std::unique_ptr<uint32_t[]> regValues;
    std::unique_ptr<uint8_t[]> regUsed;
    uint32_t regCapacity = 0;
    uint32_t regCount = 0;

    tw::PeripheralState peripherals;

    // Run group.
    uint64_t hookPasses = 0;
    uint64_t passLimit = 0x7FFFFFFFFFFFFFFFull;
    uint32_t shiftPending = 0;
    struct RunnerSnapshot {
        tw_cpu cpu{};
        std::unique_ptr<uint8_t[]> ram; // kRunnerRamSize bytes
        uint32_t valid = 0;
    } runnerSnapshot;
    char statusText[16] = {};
    uint64_t tickCount = 0;
    uint64_t idleTicks = 0;
    uint64_t tickInstructions = 0;
    uint32_t busyTicks = 0;
    uint32_t tickBudget = 0;
    uint32_t timerHandler = 0;
    uint32_t periodicHandler = 0;
    static constexpr int kTextRingSize = 64;
    static constexpr int kTextEntrySize = 21;
    char textRing[kTextRingSize][kTextEntrySize] = {};
    uint32_t textCount = 0;

    // Key group.
    uint8_t keys[TW_KEY_COUNT] = {};
    uint32_t onKey = 0;

    // Battery voltage that the ADC reports.
    double battery = 3.0;
};

namespace tw {

// Writes the last-error text of a machine, cut to its field.
void setLastError(tw_machine* m, const char* text);

} // namespace tw
