// Reads arbitrary bytes as a TrueType font; when that succeeds, looks up characters and
// writes a subset of the first glyphs, so every table reader and the subsetter see the input.
#include "docexport/true_type_font.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        tw::TrueTypeFont font({data, size});
        for (char32_t c : {U' ', U'8', U'A', U'\u00A4', U'\uFFFF'}) (void)font.hasGlyph(c);
        std::set<uint16_t> glyphs;
        for (const auto& [scalar, glyph] : font.cmap) {
            glyphs.insert(glyph);
            if (glyphs.size() >= 16) break;
        }
        glyphs.insert(1);
        glyphs.insert(uint16_t(font.numGlyphs));
        auto bytes = font.subset(glyphs);
        tw::TrueTypeFont again(bytes); // a subset is itself a readable font
        (void)again;
    } catch (const tw::TrueTypeFont::FontError&) {
    }
    return 0;
}
