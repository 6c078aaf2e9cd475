// Internal pieces shared by the start, the tick loop and the program runner.
#pragma once

#include "core/machine.h"

#include <cstdint>

namespace tw {

constexpr uint64_t kNoPassLimit = 0x7FFFFFFFFFFFFFFFull;

// Fixed addresses of the HP-16C firmware that the program runner relies on.
constexpr uint32_t kRunnerInit = 0x8894;       // entry that sets the firmware up
constexpr uint32_t kRunnerKeyRoutine = 0x893A; // entry that handles one key, r0 = code
constexpr uint32_t kRunnerSkipped = 0x9BB8;    // routine the runner returns from at once
constexpr uint32_t kStepRoutine = 0x7306;      // passed once per step the firmware carries out
constexpr uint32_t kRunnerStack = 0x200013E0u;
constexpr uint32_t kRunnerReturn = 0x00001000u; // LR = 0x1001; reaching 0x1000 is the return
constexpr uint64_t kRunnerBudget = 20'000'000;

// Little-endian word i of the firmware file (the vector table); 0 beyond the file.
uint32_t firmwareWord(const tw_machine* m, uint32_t index);

// Formats the last-error text of a machine.
void setLastErrorf(tw_machine* m, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Starts the program runner (mode 0); the checks of tw_start are done.
int startRunner(tw_machine* m, bool pressOn);

} // namespace tw
