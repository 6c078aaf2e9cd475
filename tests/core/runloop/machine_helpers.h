// Small readers used by the run-loop tests.
#pragma once

#include "core/machine.h"
#include "core/tw.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace tw::test {

inline std::string displayText(tw_machine* m) {
    char buffer[32] = {};
    if (tw_display_text(m, buffer, sizeof buffer) != TW_OK) return "<error>";
    return buffer;
}

inline std::string lastFirmwareText(tw_machine* m) {
    char buffer[32] = {};
    tw_last_firmware_text(m, buffer, sizeof buffer);
    return buffer;
}

struct Stats {
    uint64_t instructions, hookPasses, milliseconds, idleTicks;
};

inline Stats stats(tw_machine* m) {
    uint64_t out[4] = {};
    tw_stats(m, out);
    return {out[0], out[1], out[2], out[3]};
}

inline void writeWord(tw_machine* m, uint32_t address, uint32_t value) {
    ASSERT_EQ(tw_bus_write_quiet(tw_machine_cpu(m), address, 4, value), 0);
}

// Our firmware's display text while it shows a number entry or a key code.
inline std::string padded(const std::string& text) { return text + std::string(text.size() < 10 ? 10 - text.size() : 0, ' '); }

} // namespace tw::test
