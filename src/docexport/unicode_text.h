// UTF-8 and UTF-16 conversion, Unicode properties and grapheme clusters for PDF text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw::unicode {

// Decodes UTF-8; every invalid or truncated sequence becomes U+FFFD.
std::u32string decodeUtf8(std::string_view text);
std::string encodeUtf8(std::u32string_view scalars);
// Decodes UTF-16 code units; unpaired surrogates become U+FFFD.
std::u32string decodeUtf16(std::u16string_view units);
std::u16string encodeUtf16(std::u32string_view scalars);

bool isWhiteSpace(char32_t scalar);
bool isLetterOrNumber(char32_t scalar);
// The full canonical decomposition (NFD) of one scalar; the scalar itself when it has none.
std::u32string canonicalDecomposition(char32_t scalar);

// User-perceived characters (extended grapheme clusters) of a text, in order.
std::vector<std::u32string> graphemeClusters(std::u32string_view text);

} // namespace tw::unicode
