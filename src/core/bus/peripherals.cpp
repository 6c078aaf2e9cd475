// The peripherals the calculators' firmware relies on, as the bus callbacks of
// the whole-calculator mode, and the plain memory of the program runner.
#include "core/bus/peripherals.h"
#include "core/machine.h"
#include "core/bits.h"

#include "core/bus/key_matrix.h"

namespace {

constexpr uint32_t kPeripheralBase = 0x40000000u;
constexpr uint32_t kSystemBase = 0xE0000000u;
constexpr uint32_t kRangeSize = 0x00100000u; // both 1 MB ranges

constexpr uint32_t kWindow64kBase = 0xFFFF0000u;
constexpr uint32_t kWindow64kSize = 0x10000u;
constexpr uint32_t kWindow4kBase = 0x00800000u;
constexpr uint32_t kWindow4kSize = 0x1000u;

constexpr uint32_t kGpioBase = 0x400E1000u;
constexpr uint32_t kGpioEnd = 0x400E1600u; // three ports of 0x200 bytes
constexpr uint32_t kGpioPortStride = 0x200u;
constexpr uint32_t kGpioDir = 0x40;  // then +4 set, +8 clear, +0xC toggle
constexpr uint32_t kGpioOut = 0x50;  // the same four
constexpr uint32_t kGpioInput = 0x60;

constexpr uint32_t kStatusRegister = 0x400A0008u; // reads with bit 0 set
constexpr uint32_t kAdcResult = 0x4003802Cu;
constexpr uint32_t kTimerControl = 0x40038000u;
constexpr uint32_t kTimerStatus = 0x40038008u;
constexpr uint32_t kTimerClear = 0x4003800Cu;

constexpr uint32_t kNvicSetEnable1 = 0xE000E104u;
constexpr uint32_t kNvicClearEnable1 = 0xE000E184u;
constexpr uint32_t kIrq39Bit = 1u << 7;

// A poll of one register sees the stored value this many times more before the
// complement appears (and back again), so firmware waiting for a flag moves on.
constexpr uint32_t kRepeatLimit = 40;

inline uint32_t normalWidth(uint32_t width) { return (width == 1 || width == 2) ? width : 4; }

inline uint32_t cutToWidth(uint32_t value, uint32_t width) {
    return width == 4 ? value : value & ((1u << (width * 8)) - 1);
}

inline bool inRange(uint32_t address, uint32_t base, uint32_t size) { return address - base < size; }

// The bytes of an access wholly inside a buffer mapped at base, else null.
inline uint8_t* windowBytes(uint8_t* buffer, uint32_t base, uint32_t size, uint32_t address, uint32_t width) {
    const uint32_t offset = address - base;
    if (!buffer || offset >= size || uint64_t(offset) + width > size) return nullptr;
    return buffer + offset;
}


uint8_t* calculatorWindow(tw_machine* m, uint32_t address, uint32_t width) {
    if (uint8_t* p = windowBytes(m->window64k.get(), kWindow64kBase, kWindow64kSize, address, width)) return p;
    return windowBytes(m->window4k.get(), kWindow4kBase, kWindow4kSize, address, width);
}

// The input register of a GPIO port: a pressed key pulls its column bit low
// while its row line is an output driven low.
uint32_t gpioInput(const tw_machine* m, uint32_t port) {
    const tw::PeripheralState& state = m->peripherals;
    uint32_t value = 0xFFFFFFFFu;
    for (int k = 0; k < tw::kKeyCount; ++k) {
        if (m->keys[k] != 1) continue;
        const tw::PortBit row = tw::kKeyRows[k / 10];
        const tw::PortBit column = tw::kKeyColumns[k % 10];
        const bool rowDrivenLow = (state.portDir[row.port] >> row.bit & 1) && !(state.portOut[row.port] >> row.bit & 1);
        if (rowDrivenLow && column.port == port) value &= ~(1u << column.bit);
    }
    if (port == tw::kOnKeyInput.port && m->onKey) value &= ~(1u << tw::kOnKeyInput.bit);
    return value;
}

uint32_t repeatedRead(tw_machine* m, uint32_t address, uint32_t stored) {
    tw::PeripheralState& state = m->peripherals;
    if (!state.repeatValid || address != state.repeatAddress) {
        state.repeatAddress = address;
        state.repeatCount = 0;
        state.repeatInvert = 0;
        state.repeatValid = 1;
        return stored;
    }
    const uint32_t previous = state.repeatCount++;
    if (previous >= kRepeatLimit) {
        state.repeatInvert ^= 1;
        state.repeatCount = 0;
    }
    return state.repeatInvert ? ~stored : stored;
}

uint32_t peripheralRead(tw_machine* m, uint32_t address) {
    const tw::PeripheralState& state = m->peripherals;
    const uint32_t stored = tw::registerStoreLookup(m, address);
    if (address >= kGpioBase && address < kGpioEnd) {
        const uint32_t port = (address - kGpioBase) / kGpioPortStride;
        switch (address % kGpioPortStride) {
        case kGpioDir: return state.portDir[port];
        case kGpioOut: return state.portOut[port];
        case kGpioInput: return gpioInput(m, port);
        default: return stored;
        }
    }
    switch (address) {
    case kStatusRegister: return stored | 1;
    case kAdcResult: return state.adcValue;
    case kTimerStatus: return state.inInterrupt ? 1 : (state.timerPending & 1) | (state.timerRunning & 1) << 24;
    default: return repeatedRead(m, address, stored);
    }
}

// Set, clear and toggle registers follow the plain one at +4, +8 and +0xC.
void applyPortWrite(uint32_t& reg, uint32_t operation, uint32_t value) {
    switch (operation) {
    case 0x0: reg = value; break;
    case 0x4: reg |= value; break;
    case 0x8: reg &= ~value; break;
    case 0xC: reg ^= value; break;
    }
}

void peripheralWrite(tw_machine* m, uint32_t address, uint32_t value) {
    tw::PeripheralState& state = m->peripherals;
    tw::registerStoreInsert(m, address, value);
    if (address >= kGpioBase && address < kGpioEnd) {
        const uint32_t port = (address - kGpioBase) / kGpioPortStride;
        const uint32_t offset = address % kGpioPortStride;
        if (offset % 4 == 0 && offset >= kGpioDir && offset < kGpioDir + 0x10)
            applyPortWrite(state.portDir[port], offset - kGpioDir, value);
        else if (offset % 4 == 0 && offset >= kGpioOut && offset < kGpioOut + 0x10)
            applyPortWrite(state.portOut[port], offset - kGpioOut, value);
        return;
    }
    if (address == kTimerClear) {
        if (value & 1) state.timerPending = 0;
    } else if (address == kTimerControl) {
        if (value & (1u << 8)) state.timerRunning = 1;
        if (value & (1u << 9)) state.timerRunning = 0;
        if ((value & (1u << 3)) && state.timerRunning) state.timerPending = 1;
    }
}

} // namespace

namespace tw {

int calculatorBusRead(void* context, uint32_t address, uint32_t width, uint32_t* out) {
    auto* m = static_cast<tw_machine*>(context);
    if (!m || !out) return 1;
    width = normalWidth(width);
    uint32_t value;
    if (inRange(address, kSystemBase, kRangeSize)) {
        value = registerStoreLookup(m, address);
    } else if (inRange(address, kPeripheralBase, kRangeSize)) {
        value = peripheralRead(m, address);
    } else if (const uint8_t* p = calculatorWindow(m, address, width)) {
        value = loadLE(p, width);
    } else {
        return 1;
    }
    *out = cutToWidth(value, width);
    return 0;
}

int calculatorBusWrite(void* context, uint32_t address, uint32_t width, uint32_t value) {
    auto* m = static_cast<tw_machine*>(context);
    if (!m) return 1;
    width = normalWidth(width);
    // A byte or halfword store replaces the whole stored word.
    value = cutToWidth(value, width);
    if (inRange(address, kSystemBase, kRangeSize)) {
        registerStoreInsert(m, address, value);
        if (address == kNvicSetEnable1 && (value & kIrq39Bit)) m->peripherals.irq39Enabled = 1;
        if (address == kNvicClearEnable1 && (value & kIrq39Bit)) m->peripherals.irq39Enabled = 0;
        return 0;
    }
    if (inRange(address, kPeripheralBase, kRangeSize)) {
        peripheralWrite(m, address, value);
        return 0;
    }
    if (uint8_t* p = calculatorWindow(m, address, width)) {
        storeLE(p, width, value);
        return 0;
    }
    return 1;
}

namespace {

uint8_t* runnerBytes(tw_machine* m, uint32_t address, uint32_t width) {
    if (uint8_t* p = windowBytes(m->runnerPeriph.get(), kPeripheralBase, kRangeSize, address, width)) return p;
    return windowBytes(m->runnerSystem.get(), kSystemBase, kRangeSize, address, width);
}

} // namespace

int runnerBusRead(void* context, uint32_t address, uint32_t width, uint32_t* out) {
    auto* m = static_cast<tw_machine*>(context);
    if (!m || !out) return 1;
    width = normalWidth(width);
    const uint8_t* p = runnerBytes(m, address, width);
    if (!p) return 1;
    *out = loadLE(p, width);
    return 0;
}

int runnerBusWrite(void* context, uint32_t address, uint32_t width, uint32_t value) {
    auto* m = static_cast<tw_machine*>(context);
    if (!m) return 1;
    width = normalWidth(width);
    uint8_t* p = runnerBytes(m, address, width);
    if (!p) return 1;
    storeLE(p, width, value);
    return 0;
}

} // namespace tw
