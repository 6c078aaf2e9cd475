// Bytes from the core read as UTF-8 text.
#pragma once

#include <string>
#include <string_view>

namespace tw {

// The bytes as valid UTF-8: each invalid or cut-off sequence becomes U+FFFD.
std::string utf8Repaired(std::string_view bytes);

// Appends one code point as UTF-8; surrogates and values above U+10FFFF become U+FFFD.
void appendUtf8(std::string& out, char32_t c);

} // namespace tw
