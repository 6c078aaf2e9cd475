// Unicode character data used by glyph mapping and line wrapping (generated tables).
#pragma once

#include <array>
#include <cstdint>

namespace tw::unicode_tables {

struct CodeRange {
    char32_t first, last;
};

// Grapheme_Cluster_Break values; bit 0x40 marks Extended_Pictographic.
enum GraphemeBreak : uint8_t {
    gbOther, gbCR, gbLF, gbControl, gbExtend, gbZWJ, gbRegionalIndicator, gbPrepend,
    gbSpacingMark, gbL, gbV, gbT, gbLV, gbLVT,
};
constexpr uint8_t kPictographic = 0x40;

struct BreakRange {
    char32_t first, last;
    uint8_t value;
};

// A scalar's full canonical decomposition: decompositionScalars[start, start + count).
struct Decomposition {
    char32_t scalar;
    uint16_t start;
    uint8_t count;
};

// The version of the Unicode Character Database the tables were made from ("15.0.0"); the
// grapheme rules in unicode_text.cpp are that version's.
extern const char unicodeVersion[];
extern const std::array<CodeRange, 11> whiteSpace;
extern const std::array<CodeRange, 747> lettersAndNumbers; // general categories L* and N*
extern const std::array<BreakRange, 1449> graphemeBreaks;
extern const std::array<Decomposition, 2061> decompositions;
extern const std::array<char32_t, 3406> decompositionScalars;

} // namespace tw::unicode_tables
