// The object face of the emulator core: one instance owns one machine record for
// its whole life, turns negative statuses into CalculatorError with the core's
// last-error text, and the core's records into values.
//
// Move-only; a moved-from instance holds no machine, and every call on it answers
// as the core does for a null handle. One thread at a time.
#pragma once

#include "core/wrapper/calculator_error.h"
#include "core/wrapper/calculator_family.h"
#include "core/wrapper/lcd_state.h"
#include "core/tw.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tw {

class OrvaneCalculator final {
public:
    // What tw_stats counts.
    struct Stats {
        uint64_t instructions = 0;
        uint64_t hookPasses = 0;
        uint64_t periodicTicksTimesTen = 0; // 10 x the ticks in which the periodic handler ran
        uint64_t idleTicks = 0;
    };

    // Stops the process with "tw_create failed (out of memory)" when the core cannot
    // make a record.
    OrvaneCalculator();
    OrvaneCalculator(OrvaneCalculator&&) noexcept = default;
    OrvaneCalculator& operator=(OrvaneCalculator&&) noexcept = default;
    OrvaneCalculator(const OrvaneCalculator&) = delete;
    OrvaneCalculator& operator=(const OrvaneCalculator&) = delete;
    ~OrvaneCalculator() = default;

    // The machine record, for the few core calls the wrapper does not cover.
    tw_machine* handle() const { return machine_.get(); }

    void loadFirmware(std::span<const uint8_t> bytes);
    std::string firmwareDescription() const;
    CalculatorFamily family() const;
    std::vector<int> availableModels() const; // at most 8 model codes
    int model() const;
    int modelCode() const;

    // Runs at least 10 ms (the core's tick).
    void run(uint32_t ms);
    int keyDown(int code);
    int keyUp(int code);
    // Key down, run the hold, key up, run the release; a failing first run leaves
    // the key down.
    void press(int code, uint32_t holdMs, uint32_t releaseMs);
    // Starts the whole calculator without pressing ON.
    void powerOn();

    static constexpr size_t memorySize = TW_MEMORY_SIZE;
    void writeMemory(std::span<const uint8_t> bytes);
    std::vector<uint8_t> readMemory();

    // The display; blank when the core cannot read it.
    LCDState lcd() const;
    std::string displayText() const;
    int setBattery(double volts);
    Stats stats() const;

    // The key code of a key name of model 12, 15 or 16.
    static std::optional<int> keyCode(int model, const std::string& name);

    // Throws the CalculatorError that a negative status names; 0 and above pass.
    void check(int status) const;

private:
    struct Destroy {
        void operator()(tw_machine* machine) const { tw_destroy(machine); }
    };
    std::unique_ptr<tw_machine, Destroy> machine_;
};

} // namespace tw
