// The display read back from outside the chip: the segment memory of the LCD
// controller (whole calculator) or the HP-16C firmware's two display words in RAM.
#include "core/bits.h"
#include "core/bus/lcd_tables.h"
#include "core/memory_map.h"
#include "core/machine.h"
#include "core/bus/peripherals.h"

#include <cstring>

namespace {

using namespace tw::lcd;

// The display-offset byte of an HP-16C firmware: its display words move by 128 bytes per unit.
constexpr uint64_t kDisplayOffsetByte = 0x1BF00;
constexpr uint32_t kRunnerDisplayA = 0x200000D0u;
constexpr uint32_t kDisplayPointer = 0x20000014u;

// A RAM word; false outside the RAM of the current mode. The display words are
// read only from RAM, so a firmware pointer into the peripherals cannot disturb them.
bool ramWord(const tw_machine* m, uint32_t address, uint32_t& out) {
    uint32_t offset = address - tw::kRamBase;
    if (offset >= m->cpu.bus.ramSize || m->cpu.bus.ramSize - offset < 4 || !m->cpu.bus.ram) return false;
    out = tw::loadLE32(m->cpu.bus.ram + offset);
    return true;
}

// 56 bits: the word at the address and the low 24 bits of the next; 0 when not in RAM.
uint64_t displayWord(const tw_machine* m, uint32_t address) {
    uint32_t low = 0, high = 0;
    if (!ramWord(m, address, low) || !ramWord(m, address + 4, high)) return 0;
    return uint64_t(low) | uint64_t(high & 0xFFFFFFu) << 32;
}

void readDisplayWords(const tw_machine* m, uint64_t& a, uint64_t& b) {
    uint32_t k = m->firmware && m->firmwareSize > kDisplayOffsetByte ? m->firmware[kDisplayOffsetByte] * 128u : 0;
    uint32_t base = kRunnerDisplayA + k; // mode 0
    if (m->mode == TW_MODE_CALCULATOR) {
        uint32_t w = 0;
        ramWord(m, kDisplayPointer, w);
        base = w + 176 + k;
    }
    a = displayWord(m, base);
    b = displayWord(m, base + 8);
}

uint8_t runnerPattern(const RunnerDigit& digit, const uint64_t words[2]) {
    uint8_t pattern = 0;
    for (int s = 0; s < 7; ++s)
        if (words[digit.word] >> digit.segment[s] & 1) pattern |= uint8_t(1u << s);
    return pattern;
}

bool lcdBit(const uint8_t bytes[32], int bit) { return bytes[bit >> 3] >> (bit & 7) & 1; }

void segmentBytes(const uint32_t words[kSegmentWords], uint8_t bytes[32]) {
    for (int i = 0; i < kSegmentWords; ++i)
        for (int j = 0; j < 4; ++j) bytes[i * 4 + j] = uint8_t(words[i] >> (8 * j));
}

uint32_t statusFlags(const uint8_t bytes[32]) {
    uint32_t flags = 0;
    for (int i = 0; i < 5; ++i)
        if (lcdBit(bytes, kStatusBits[i])) flags |= 1u << i;
    return flags;
}

} // namespace

extern "C" {

int tw_lcd_ram(tw_machine* m, uint32_t out[8]) {
    if (!m || !out) return TW_ERR_ARGUMENT;
    if (m->mode == TW_MODE_NONE) return TW_ERR_STATE;
    for (int i = 0; i < kSegmentWords; ++i) {
        uint32_t address = kSegmentMemory + 4 * uint32_t(i);
        if (m->mode == TW_MODE_CALCULATOR) {
            out[i] = tw::registerStoreLookup(m, address);
        } else if (tw_bus_read_quiet(&m->cpu, address, 4, &out[i]) != 0) {
            return TW_ERR_STATE;
        }
    }
    return TW_OK;
}

uint32_t tw_lcd_flags(tw_machine* m) {
    uint32_t words[kSegmentWords];
    if (tw_lcd_ram(m, words) != TW_OK) return 0;
    uint8_t bytes[32];
    segmentBytes(words, bytes);
    return statusFlags(bytes);
}

int tw_lcd(tw_machine* m, struct tw_lcd* record) {
    if (!m || !record) return TW_ERR_ARGUMENT;
    if (m->mode == TW_MODE_NONE) return TW_ERR_STATE;
    std::memset(record, 0, sizeof *record);

    if (m->mode == TW_MODE_RUNNER) {
        uint64_t words[2];
        readDisplayWords(m, words[0], words[1]);
        for (int d = 0; d < kDigits; ++d) {
            const RunnerDigit& digit = kRunnerTable[d];
            record->segments[d] = runnerPattern(digit, words);
            record->dots[d] = words[digit.word] >> digit.dot & 1;
            record->commas[d] = digit.comma == kNoComma ? 0 : words[digit.word] >> digit.comma & 1;
        }
        record->minus = words[0] >> kRunnerMinusBit & 1;
    }

    uint32_t memory[kSegmentWords];
    if (tw_lcd_ram(m, memory) != TW_OK) return TW_OK; // no segment memory: no annunciators
    uint8_t bytes[32];
    segmentBytes(memory, bytes);
    if (m->mode == TW_MODE_CALCULATOR) {
        for (int d = 0; d < kDigits; ++d) {
            const SegmentDigit& digit = kSegmentTable[d];
            uint8_t pattern = 0;
            for (int s = 0; s < 7; ++s)
                if (lcdBit(bytes, digit.segment[s])) pattern |= uint8_t(1u << s);
            record->segments[d] = pattern;
            record->dots[d] = lcdBit(bytes, digit.dot);
            record->commas[d] = lcdBit(bytes, digit.comma);
        }
        record->minus = lcdBit(bytes, kMinusBit);
    }
    uint64_t low = 0;
    for (int i = 7; i >= 0; --i) low = low << 8 | bytes[i];
    record->annunciators = low & ~kAnnunciatorExclusions;
    record->flags = statusFlags(bytes);
    return TW_OK;
}

int tw_runner_display(tw_machine* m, uint64_t* outA, uint64_t* outB) {
    if (!m || m->mode == TW_MODE_NONE || m->family != TW_FAMILY_16C) return TW_ERR_STATE;
    uint64_t a, b;
    readDisplayWords(m, a, b);
    if (outA) *outA = a;
    if (outB) *outB = b;
    return TW_OK;
}

int tw_display_text(tw_machine* m, char* buffer, size_t size) {
    if (!m || !buffer || size < 11) return TW_ERR_ARGUMENT;
    if (m->mode == TW_MODE_NONE) return TW_ERR_STATE;
    if (m->family == TW_FAMILY_16C) {
        uint64_t words[2];
        readDisplayWords(m, words[0], words[1]);
        for (int d = 0; d < kDigits; ++d) buffer[d] = patternChar(runnerPattern(kRunnerTable[d], words));
        buffer[kDigits] = 0;
        return TW_OK;
    }
    struct tw_lcd record;
    int status = tw_lcd(m, &record);
    if (status != TW_OK) return status;
    return tw_lcd_text(&record, buffer, size);
}

} // extern "C"
