// The fonts of one documentation PDF: the embedded key and display fonts, the glyphs that
// drawing used, and the mapping of text to glyphs in each face.
#pragma once

#include "docexport/pdf_types.h"
#include "docexport/true_type_font.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct PlacedGlyph {
    PDFGlyph glyph;
    double x = 0; // offset from the start of the text, in points
};

struct GlyphPlacement {
    std::vector<PlacedGlyph> glyphs;
    double width = 0;
};

class PDFFontSet {
public:
    std::map<PDFFace, TrueTypeFont> embedded;
    std::map<PDFFace, std::map<uint16_t, std::string>> used; // glyph id -> text, per embedded face

    PDFFontSet(std::optional<TrueTypeFont> keys = std::nullopt, std::optional<TrueTypeFont> display = std::nullopt);

    bool hasFont(PDFFace face) const { return embedded.count(face) != 0; }

    static std::optional<uint8_t> winAnsiCode(char32_t scalar);
    // Standard faces only: the glyphs of one scalar, appended to `into`.
    static void appendGlyphs(char32_t scalar, PDFFace face, std::vector<PDFGlyph>& into);
    static std::vector<PDFGlyph> glyphs(std::string_view text, PDFFace face, const PDFFontSet* fonts);
    static std::vector<PDFGlyph> glyphRun(const std::vector<KeyGlyphRun>& runs, PDFFace face,
                                          const PDFFontSet* fonts, double size, double gap);
    static GlyphPlacement place(const std::vector<PDFGlyph>& glyphs, double size);
    static std::vector<std::string> wrapLines(std::string_view text, double width, const PDFStyle& style,
                                              const PDFFontSet* fonts);
    static std::string literalString(std::string_view bytes);

    // The width of a text in a style, as drawing would place it.
    static double width(std::string_view text, const PDFStyle& style, const PDFFontSet* fonts);

private:
    const TrueTypeFont* font(PDFFace face) const;
};

} // namespace tw
