// Calculator machines on our test firmware, for the runtime's end-to-end tests.
#pragma once

#include "runtime/machine/calculator_machine.h"
#include "support/test_firmware.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tw::test {

inline std::span<const uint8_t> firmware(Firmware which) { return firmwareBytes(which); }

// A machine with the image loaded and started with no saved state.
inline std::unique_ptr<CalculatorMachine> startedCalculator(Firmware which) {
    useTestFingerprints();
    auto machine = std::make_unique<CalculatorMachine>();
    machine->load(firmwareBytes(which));
    machine->start(std::nullopt);
    return machine;
}

// A key pressed and let go as a user would: down for a slice, up, then time to act.
inline void key(CalculatorMachine& m, int code) {
    m.press(code);
    m.run(10);
    m.release(code);
    m.run(200);
}

inline void keys(CalculatorMachine& m, const std::vector<int>& codes) {
    for (int code : codes) key(m, code);
}

// The display without the blanks around it.
inline std::string shown(const CalculatorMachine& m) {
    const std::string text = m.displayText();
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Our firmware's checksum of a memory image: the sum of bytes 24 to 2047 in bytes 16 to 19.
inline void sealMemory(std::vector<uint8_t>& memory) {
    uint32_t sum = 0;
    for (size_t i = 24; i < memory.size(); ++i) sum += memory[i];
    for (int i = 0; i < 4; ++i) memory[16 + size_t(i)] = uint8_t(sum >> (8 * i));
}

// Key codes shared by the three keyboards.
enum Key : int {
    kDivide = 9, kMultiply = 19, kRunStop = 20, kRollDown = 22, kSwap = 23, kClear = 24, kEnter = 25,
    kMinus = 29, kOn = 30, kF = 31, kG = 32, kSto = 33, kRcl = 34, kPlus = 39,
    k0 = 36, k1 = 26, k2 = 27, k3 = 28, k4 = 16, k5 = 17, k6 = 18, k7 = 6, k8 = 7, k9 = 8, kPoint = 37,
};

} // namespace tw::test
