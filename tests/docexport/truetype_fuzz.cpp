// Reads arbitrary bytes as a TrueType font; when that succeeds, looks up characters and
// writes a subset of some glyphs, which must itself read back as a font.
#include "docexport/true_type_font.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<tw::TrueTypeFont> font;
    try {
        font.emplace(std::span<const uint8_t>(data, size));
    } catch (const tw::TrueTypeFont::FontError&) {
        return 0;
    }
    for (char32_t c : {U' ', U'8', U'A', U'\u00A4', U'\uFFFF'}) (void)font->hasGlyph(c);
    std::set<uint16_t> glyphs{1, uint16_t(font->numGlyphs)};
    for (const auto& [scalar, glyph] : font->cmap) {
        glyphs.insert(glyph);
        if (glyphs.size() >= 18) break;
    }
    auto bytes = font->subset(glyphs);
    tw::TrueTypeFont again(bytes); // an unreadable subset escapes as an exception: a finding
    if (again.numGlyphs != font->numGlyphs || again.unitsPerEm != font->unitsPerEm) std::abort();
    return 0;
}
