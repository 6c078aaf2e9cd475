#include "notes/text_layout.h"

#include <cstdint>

#include "core/wrapper/utf8_text.h"
#include "runtime/snapshot/utf8.h"

namespace tw {

namespace {

// Marks that a reader sees as part of the character before them.
bool joinsPrevious(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F) || (c >= 0xFE00 && c <= 0xFE0F) ||
           c == 0x200D;
}

bool isWhitespace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool isLineBreakOrTab(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

std::string fromCodePoints(const std::vector<char32_t>& points, std::size_t first, std::size_t last) {
    std::string out;
    for (std::size_t i = first; i < last; ++i) appendUtf8(out, points[i]);
    return out;
}

} // namespace

std::vector<char32_t> codePoints(std::string_view text) {
    const std::string valid = repairUtf8(text);
    std::vector<char32_t> points;
    points.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size();) {
        const auto lead = static_cast<std::uint8_t>(valid[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<std::uint8_t>(valid[i + k]) & 0x3F);
        points.push_back(c);
        i += length;
    }
    return points;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    bool first = true;
    for (char32_t c : codePoints(text)) {
        if (first || !joinsPrevious(c)) ++count;
        first = false;
    }
    return count;
}

std::string padRight(std::string_view text, std::size_t width) {
    std::string out(text);
    const std::size_t count = characterCount(text);
    if (count < width) out.append(width - count, ' ');
    return out;
}

std::string leftCharacters(std::string_view text, std::size_t width) {
    const std::vector<char32_t> points = codePoints(text);
    std::size_t count = 0;
    std::size_t end = 0;
    for (; end < points.size(); ++end) {
        if (end == 0 || !joinsPrevious(points[end])) {
            if (count == width) break;
            ++count;
        }
    }
    return fromCodePoints(points, 0, end);
}

std::string trimWhitespace(std::string_view text) {
    const std::vector<char32_t> points = codePoints(text);
    std::size_t first = 0;
    std::size_t last = points.size();
    while (first < last && isWhitespace(points[first])) ++first;
    while (last > first && isWhitespace(points[last - 1])) --last;
    return fromCodePoints(points, first, last);
}

std::string singleLine(std::string_view text) {
    std::string out;
    const std::vector<char32_t> points = codePoints(text);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const char32_t c = points[i];
        if (c == '\r' && i + 1 < points.size() && points[i + 1] == '\n') continue; // CR LF is one break
        appendUtf8(out, isLineBreakOrTab(c) ? U' ' : c);
    }
    return out;
}

std::string plainLines(std::string_view text) {
    std::string out;
    const std::vector<char32_t> points = codePoints(text);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const char32_t c = points[i];
        if (c == '\r' || c == '\f') {
            if (c == '\r' && i + 1 < points.size() && points[i + 1] == '\n') continue;
            out += '\n';
        } else if (c == '\t') {
            out += ' ';
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

bool isNumeric(char32_t c) {
    return c >= U'0' && c <= U'9';
}

} // namespace tw
