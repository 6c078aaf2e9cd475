// Locale-independent decimal texts of integers.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// The value in decimal.
std::string decimalText(std::int64_t value);

// The value as printf's "%0<width>d" writes it: zero-padded to at least
// `width` characters, the sign counted in the width; never cut.
std::string zeroPadded(std::int64_t value, int width);

} // namespace tw
