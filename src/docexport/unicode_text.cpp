#include "docexport/unicode_text.h"

#include "docexport/unicode_tables.h"

#include "core/wrapper/utf8_text.h"

#include <algorithm>

namespace tw::unicode {

namespace ut = unicode_tables;

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Hangul syllables decompose by arithmetic, not by table.
constexpr char32_t kHangulBase = 0xAC00, kLeadBase = 0x1100, kVowelBase = 0x1161, kTrailBase = 0x11A7;
constexpr char32_t kVowelCount = 21, kTrailCount = 28, kSyllableCount = 11172;

uint8_t breakValue(char32_t c) {
    auto it = std::upper_bound(ut::graphemeBreaks.begin(), ut::graphemeBreaks.end(), c,
                               [](char32_t v, const ut::BreakRange& r) { return v < r.first; });
    if (it == ut::graphemeBreaks.begin()) return ut::gbOther;
    --it;
    return c <= it->last ? it->value : uint8_t(ut::gbOther);
}

bool isControl(uint8_t p) { return p == ut::gbCR || p == ut::gbLF || p == ut::gbControl; }

} // namespace

// Invalid input becomes one U+FFFD per maximal subpart, as the Unicode Standard recommends.
std::u32string decodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        auto b0 = uint8_t(text[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        int length = b0 >= 0xC2 && b0 <= 0xDF ? 2 : b0 >= 0xE0 && b0 <= 0xEF ? 3 : b0 >= 0xF0 && b0 <= 0xF4 ? 4 : 0;
        if (length == 0) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        // The allowed range of the second byte depends on the first.
        uint8_t low = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
        uint8_t high = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
        char32_t c = length == 2 ? b0 & 0x1F : length == 3 ? b0 & 0x0F : b0 & 0x07;
        int taken = 1;
        while (taken < length && i + taken < text.size()) {
            auto b = uint8_t(text[i + taken]);
            if (b < (taken == 1 ? low : 0x80) || b > (taken == 1 ? high : 0xBF)) break;
            c = (c << 6) | (b & 0x3F);
            ++taken;
        }
        out.push_back(taken == length ? c : kReplacement);
        i += size_t(taken);
    }
    return out;
}

std::string encodeUtf8(std::u32string_view scalars) {
    std::string out;
    out.reserve(scalars.size());
    for (char32_t c : scalars) tw::appendUtf8(out, c);
    return out;
}

std::u32string decodeUtf16(std::u16string_view units) {
    std::u32string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((char32_t(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out.push_back(kReplacement);
        } else {
            out.push_back(u);
        }
    }
    return out;
}

std::u16string encodeUtf16(std::u32string_view scalars) {
    std::u16string out;
    out.reserve(scalars.size());
    for (char32_t c : scalars) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(c > 0x10FFFF ? kReplacement : c));
        }
    }
    return out;
}

bool isWhiteSpace(char32_t c) {
    return std::any_of(ut::whiteSpace.begin(), ut::whiteSpace.end(),
                       [c](const ut::CodeRange& r) { return c >= r.first && c <= r.last; });
}

bool isLetterOrNumber(char32_t c) {
    auto it = std::upper_bound(ut::lettersAndNumbers.begin(), ut::lettersAndNumbers.end(), c,
                               [](char32_t v, const ut::CodeRange& r) { return v < r.first; });
    return it != ut::lettersAndNumbers.begin() && c <= std::prev(it)->last;
}

std::u32string canonicalDecomposition(char32_t c) {
    if (c >= kHangulBase && c < kHangulBase + kSyllableCount) {
        char32_t index = c - kHangulBase;
        std::u32string out{kLeadBase + index / (kVowelCount * kTrailCount),
                           kVowelBase + (index % (kVowelCount * kTrailCount)) / kTrailCount};
        if (index % kTrailCount != 0) out.push_back(kTrailBase + index % kTrailCount);
        return out;
    }
    auto it = std::lower_bound(ut::decompositions.begin(), ut::decompositions.end(), c,
                               [](const ut::Decomposition& d, char32_t v) { return d.scalar < v; });
    if (it == ut::decompositions.end() || it->scalar != c) return std::u32string(1, c);
    return std::u32string(ut::decompositionScalars.begin() + it->start,
                          ut::decompositionScalars.begin() + it->start + it->count);
}

std::vector<std::u32string> graphemeClusters(std::u32string_view text) {
    std::vector<std::u32string> clusters;
    if (text.empty()) return clusters;
    clusters.emplace_back(1, text[0]);
    uint8_t prevFull = breakValue(text[0]);
    // State for emoji ZWJ sequences (GB11) and regional-indicator pairs (GB12, GB13).
    bool pictographicRun = prevFull & ut::kPictographic;
    int regionalCount = (prevFull & 0x3F) == ut::gbRegionalIndicator ? 1 : 0;
    for (size_t i = 1; i < text.size(); ++i) {
        uint8_t full = breakValue(text[i]);
        uint8_t prev = prevFull & 0x3F, cur = full & 0x3F;
        bool join;
        if (prev == ut::gbCR && cur == ut::gbLF) join = true;                  // GB3
        else if (isControl(prev) || isControl(cur)) join = false;              // GB4, GB5
        else if (prev == ut::gbL && (cur == ut::gbL || cur == ut::gbV || cur == ut::gbLV ||
                                     cur == ut::gbLVT)) join = true;           // GB6
        else if ((prev == ut::gbLV || prev == ut::gbV) && (cur == ut::gbV || cur == ut::gbT))
            join = true;                                                       // GB7
        else if ((prev == ut::gbLVT || prev == ut::gbT) && cur == ut::gbT) join = true; // GB8
        else if (cur == ut::gbExtend || cur == ut::gbZWJ) join = true;         // GB9
        else if (cur == ut::gbSpacingMark || prev == ut::gbPrepend) join = true; // GB9a, GB9b
        else if (prev == ut::gbZWJ && pictographicRun && (full & ut::kPictographic)) join = true; // GB11
        else if (prev == ut::gbRegionalIndicator && cur == ut::gbRegionalIndicator)
            join = regionalCount % 2 == 1;                                     // GB12, GB13
        else join = false;                                                     // GB999
        if (join) clusters.back().push_back(text[i]);
        else clusters.emplace_back(1, text[i]);

        // A pictographic run is Extended_Pictographic Extend* ZWJ?, waiting for GB11.
        if (full & ut::kPictographic) pictographicRun = true;
        else pictographicRun = pictographicRun && prev != ut::gbZWJ &&
                               (cur == ut::gbExtend || cur == ut::gbZWJ);
        regionalCount = cur == ut::gbRegionalIndicator ? regionalCount + 1 : 0;
        prevFull = full;
    }
    return clusters;
}

} // namespace tw::unicode
