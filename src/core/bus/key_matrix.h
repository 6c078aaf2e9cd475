// The calculator's key matrix wiring: four rows driven from port 2, ten columns
// read on ports 0 to 2. Key code k sits on row k / 10 and column k % 10.
#pragma once

#include "core/tw.h"

#include <cstdint>

namespace tw {

struct PortBit {
    uint8_t port;
    uint8_t bit;
};

inline constexpr PortBit kKeyRows[4] = {{2, 3}, {2, 4}, {2, 5}, {2, 6}};

inline constexpr PortBit kKeyColumns[10] = {
    {2, 7}, {0, 7}, {1, 5}, {1, 4}, {1, 0}, {1, 2}, {1, 3}, {2, 2}, {2, 1}, {2, 0},
};

inline constexpr PortBit kOnKeyInput = {1, 1};

inline constexpr int kKeyCount = TW_KEY_COUNT;

} // namespace tw
