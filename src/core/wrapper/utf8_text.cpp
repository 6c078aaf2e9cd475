#include "core/wrapper/utf8_text.h"

#include <cstdint>

namespace tw {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The sequence at the start of s: its length, and whether it is valid. An invalid
// one is its maximal prefix of a valid sequence (at least one byte), which becomes
// one replacement character, as common decoders do.
struct Sequence {
    size_t length;
    bool valid;
};

Sequence leadingSequence(std::string_view s) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    const uint8_t lead = byte(0);
    if (lead < 0x80) return {1, true};
    size_t length;
    uint8_t low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;      // no overlong forms
        if (lead == 0xED) high = 0x9F;     // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;     // nothing above U+10FFFF
    } else {
        return {1, false};
    }
    for (size_t i = 1; i < length; ++i) {
        if (i >= s.size()) return {i, false};
        const uint8_t min = i == 1 ? low : 0x80, max = i == 1 ? high : 0xBF;
        if (byte(i) < min || byte(i) > max) return {i, false};
    }
    return {length, true};
}

} // namespace

std::string utf8Repaired(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const Sequence sequence = leadingSequence(bytes);
        if (sequence.valid)
            out += bytes.substr(0, sequence.length);
        else
            out += kReplacement;
        bytes.remove_prefix(sequence.length);
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

} // namespace tw
