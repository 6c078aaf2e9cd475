// Character widths of the PDF standard fonts, in thousandths of the font size.
#pragma once

#include <array>
#include <cstdint>

namespace tw::standard_widths {

// Helvetica, Helvetica-Bold and Courier at the codes of WinAnsiEncoding.
extern const std::array<uint16_t, 256> helvetica;
extern const std::array<uint16_t, 256> helveticaBold;
extern const std::array<uint16_t, 256> courier;
// Symbol at the codes of its built-in encoding; 0 where the font has no glyph.
extern const std::array<uint16_t, 256> symbol;

} // namespace tw::standard_widths
