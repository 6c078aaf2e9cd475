// Segment maps of the display and the pattern table, transcribed once.
#include "core/bus/lcd_tables.h"

namespace tw::lcd {

//                                   a    b    c   d   e    f    g   dot comma
const SegmentDigit kSegmentTable[kDigits] = {
    {{194, 131, 66, 65, 129, 193, 130}, 3, 2},
    {{195, 197, 68, 67, 132, 196, 133}, 69, 5},
    {{199, 136, 71, 70, 134, 198, 135}, 8, 7},
    {{200, 202, 73, 72, 137, 201, 138}, 74, 10},
    {{204, 141, 76, 75, 139, 203, 140}, 13, 12},
    {{205, 207, 78, 77, 142, 206, 143}, 79, 15},
    {{209, 146, 81, 80, 144, 208, 145}, 18, 17},
    {{210, 212, 83, 82, 147, 211, 148}, 84, 255},
    {{214, 151, 86, 85, 149, 213, 150}, 23, 255},
    {{215, 217, 88, 87, 152, 216, 153}, 89, 255},
};

const uint8_t kStatusBits[5] = {6, 9, 21, 14, 24};

//                            word   a   b   c   d   e   f   g  dot comma
const RunnerDigit kRunnerTable[kDigits] = {
    {0, {21, 23, 19, 47, 18, 20, 22}, 39, 38},
    {0, {27, 29, 25, 17, 24, 26, 28}, 15, 14},
    {0, {51, 53, 49, 13, 48, 50, 52}, 55, 54},
    {0, {33, 35, 31, 9, 30, 32, 34}, 37, 36},
    {0, {43, 45, 41, 7, 40, 42, 44}, 11, 10},
    {1, {11, 13, 9, 15, 8, 10, 12}, 17, 16},
    {1, {21, 23, 19, 7, 18, 20, 22}, 25, 24},
    {1, {29, 31, 27, 39, 26, 28, 30}, 37, kNoComma},
    {1, {47, 49, 45, 33, 44, 46, 48}, 35, kNoComma},
    {1, {53, 55, 51, 41, 50, 52, 54}, 43, kNoComma},
};

// Searched in this order; the first match wins.
const PatternEntry kPatternTable[34] = {
    {0x3F, '0'}, {0x06, '1'}, {0x5B, '2'}, {0x4F, '3'}, {0x66, '4'}, {0x6D, '5'}, {0x7D, '6'},
    {0x07, '7'}, {0x7F, '8'}, {0x6F, '9'}, {0x77, 'A'}, {0x7C, 'b'}, {0x39, 'C'}, {0x5E, 'd'},
    {0x79, 'E'}, {0x71, 'F'}, {0x40, '-'}, {0x00, ' '}, {0x73, 'P'}, {0x50, 'r'}, {0x74, 'h'},
    {0x5C, 'o'}, {0x78, 't'}, {0x38, 'L'}, {0x54, 'n'}, {0x3E, 'U'}, {0x1C, 'u'}, {0x2F, '?'},
    {0x76, 'H'}, {0x0E, 'J'}, {0x3D, 'G'}, {0x08, '_'}, {0x6E, 'y'}, {0x30, 'i'},
};

char patternChar(uint8_t pattern) {
    for (const PatternEntry& entry : kPatternTable)
        if (entry.pattern == pattern) return entry.character;
    return '?';
}

} // namespace tw::lcd
