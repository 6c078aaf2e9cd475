// UTF-8 repair and reading of the core's fixed-size text fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

// The text with every malformed UTF-8 sequence (stray continuation bytes, cut
// sequences, overlong forms, surrogates, values above U+10FFFF) replaced by
// U+FFFD, as the core's record texts are read. Valid text comes back unchanged.
std::string repairUtf8(std::string_view text);

// The longest start of the text of at most `maxBytes` bytes that ends between two
// characters: a long text shown only by its start.
std::string_view utf8Start(std::string_view text, std::size_t maxBytes);

// A zero-terminated field of a core record: the bytes up to the first zero or
// the field's end, read as UTF-8 (repaired).
std::string recordText(const char* field, std::size_t size);

template <std::size_t N>
std::string recordText(const char (&field)[N]) {
    return recordText(field, N);
}

} // namespace tw
