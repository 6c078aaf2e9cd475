// Locale-independent decimal texts of integers.
#ifndef TARNWICK_RUNTIME_SNAPSHOT_NUMBER_TEXT_H
#define TARNWICK_RUNTIME_SNAPSHOT_NUMBER_TEXT_H

#include <cstdint>
#include <string>

namespace tw {

// The value in decimal.
std::string decimalText(std::int64_t value);

// The value as printf's "%0<width>d" writes it: zero-padded to at least
// `width` characters, the sign counted in the width; never cut.
std::string zeroPadded(std::int64_t value, int width);

} // namespace tw

#endif
