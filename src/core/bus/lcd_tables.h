// Where the display's segments lie: the LCD controller's segment memory of the
// whole calculator, and the two display words that the HP-16C firmware keeps in
// RAM. Also the pattern table that turns a digit's seven segments into a character.
#pragma once

#include <cstdint>

namespace tw::lcd {

constexpr int kDigits = 10;

// Segment memory: eight words from 0x40080014, 256 bits; bit b is bit b % 8 of byte b / 8.
constexpr uint32_t kSegmentMemory = 0x40080014u;
constexpr int kSegmentWords = 8;

// LCD bit numbers of one digit: segments a..g, point and comma.
struct SegmentDigit {
    uint8_t segment[7];
    uint8_t dot;
    uint8_t comma;
};
extern const SegmentDigit kSegmentTable[kDigits];

constexpr int kMinusBit = 1;
// Status bits f, g, C, G, PRGM in the order of tw_lcd's flags.
extern const uint8_t kStatusBits[5];
// LCD bits 0..63 that are the sign, points and commas rather than annunciators.
constexpr uint64_t kAnnunciatorExclusions = 0x86B5AEull;

// HP-16C display words A and B (56 bits each): word and bit numbers of one digit.
constexpr uint8_t kNoComma = 0xFF;
struct RunnerDigit {
    uint8_t word; // 0 = A, 1 = B
    uint8_t segment[7];
    uint8_t dot;
    uint8_t comma; // kNoComma for digits 7..9
};
extern const RunnerDigit kRunnerTable[kDigits];
constexpr int kRunnerMinusBit = 46; // of word A

// The character a 7-segment pattern shows; '?' for a pattern not in the table.
char patternChar(uint8_t pattern);

struct PatternEntry {
    uint8_t pattern;
    char character;
};
extern const PatternEntry kPatternTable[34];

} // namespace tw::lcd
