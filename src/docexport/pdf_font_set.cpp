#include "docexport/pdf_font_set.h"

#include "docexport/standard_font_widths.h"
#include "docexport/unicode_text.h"

#include <cmath>
#include <utility>

namespace tw {

namespace {

// The characters that WinAnsiEncoding (code page 1252) places at 0x80 to 0x9F.
constexpr std::pair<char32_t, uint8_t> kWinAnsiHigh[] = {
    {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
    {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
    {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
    {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
    {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F},
};

// Characters that WinAnsiEncoding lacks, drawn from the Symbol font.
constexpr std::pair<char32_t, uint8_t> kSymbolSubstitutions[] = {
    {0x03A3, 0x53}, {0x2211, 0x53}, {0x0394, 0x44}, {0x2206, 0x44}, {0x03C0, 0x70}, {0x221A, 0xD6},
    {0x222B, 0xF2}, {0x2260, 0xB9}, {0x2264, 0xA3}, {0x2265, 0xB3}, {0x2190, 0xAC}, {0x2B05, 0xAC},
    {0x2191, 0xAD}, {0x2192, 0xAE}, {0x2193, 0xAF}, {0x2212, 0x2D}, {0x221E, 0xA5}, {0x2248, 0xBB},
    {0x03B1, 0x61}, {0x03B2, 0x62}, {0x03BC, 0x6D}, {0x03B8, 0x71}, {0x03BB, 0x6C}, {0x03C3, 0x73},
    {0x2194, 0xAB}, {0x21D2, 0xDE},
};

struct Special {
    char32_t scalar;
    uint8_t code;
    double scale, rise;
    bool overlay;
};

// Special characters built from scaled, raised or overlaid glyphs of the face itself.
constexpr Special kSpecials[] = {
    {0x0009, 0x20, 1, 0, false},     {0x000A, 0x20, 1, 0, false},     {0x000D, 0x20, 1, 0, false},
    {0x0302, 0x88, 1, 0, true},      {0x0304, 0xAF, 1, 0, true},      {0x207B, 0x2D, 0.75, 0.30, false},
    {0x2093, 0x78, 0.65, -0.14, false}, {0x02E3, 0x78, 0.65, 0.38, false}, {0x02B8, 0x79, 0.65, 0.38, false},
    {0x2277, 0x3E, 0.62, 0.40, false}, {0x2277, 0x3C, 0.62, -0.02, true},
};

const std::array<uint16_t, 256>& widthTable(PDFFace face) {
    switch (face) {
    case PDFFace::bold: return standard_widths::helveticaBold;
    case PDFFace::mono:
    case PDFFace::monoBold:
    case PDFFace::display: return standard_widths::courier;
    case PDFFace::symbol: return standard_widths::symbol;
    default: return standard_widths::helvetica;
    }
}

PDFGlyph standardGlyph(PDFFace face, uint8_t code, double scale = 1, double rise = 0, bool overlay = false) {
    return {face, code, scale, rise, overlay, double(widthTable(face)[code]), {}};
}

void appendRules(char32_t s, PDFFace face, std::vector<PDFGlyph>& into, int depth) {
    bool special = false;
    for (const Special& sp : kSpecials) {
        if (sp.scalar != s) continue;
        into.push_back(standardGlyph(face, sp.code, sp.scale, sp.rise, sp.overlay));
        special = true;
    }
    if (special) return;
    if (auto code = PDFFontSet::winAnsiCode(s)) {
        into.push_back(standardGlyph(face, *code));
        return;
    }
    for (auto [scalar, code] : kSymbolSubstitutions) {
        if (scalar == s) {
            into.push_back(standardGlyph(PDFFace::symbol, code));
            return;
        }
    }
    if (depth == 0) {
        std::u32string parts = unicode::canonicalDecomposition(s);
        if (parts.size() >= 2) {
            for (char32_t part : parts) appendRules(part, face, into, depth + 1);
            return;
        }
    }
    into.push_back(standardGlyph(face, '?'));
}

} // namespace

PDFFontSet::PDFFontSet(std::optional<TrueTypeFont> keys, std::optional<TrueTypeFont> display) {
    if (keys) embedded.emplace(PDFFace::keys, std::move(*keys));
    if (display) embedded.emplace(PDFFace::display, std::move(*display));
}

const TrueTypeFont* PDFFontSet::font(PDFFace face) const {
    auto it = embedded.find(face);
    return it == embedded.end() ? nullptr : &it->second;
}

std::optional<uint8_t> PDFFontSet::winAnsiCode(char32_t s) {
    if ((s >= 32 && s <= 126) || (s >= 160 && s <= 255)) return uint8_t(s);
    for (auto [scalar, code] : kWinAnsiHigh)
        if (scalar == s) return code;
    return std::nullopt;
}

void PDFFontSet::appendGlyphs(char32_t scalar, PDFFace face, std::vector<PDFGlyph>& into) {
    appendRules(scalar, face, into, 0);
}

std::vector<PDFGlyph> PDFFontSet::glyphs(std::string_view text, PDFFace face, const PDFFontSet* fonts) {
    std::vector<PDFGlyph> out;
    std::u32string scalars = unicode::decodeUtf8(text);
    const TrueTypeFont* f = isEmbedded(face) && fonts ? fonts->font(face) : nullptr;
    if (isEmbedded(face) && !f) return glyphs(text, fallback(face), nullptr);
    for (char32_t s : scalars) {
        if (!f) {
            appendGlyphs(s, face, out);
        } else if (f->hasGlyph(s)) {
            uint16_t g = f->glyphID(s);
            out.push_back({face, g, 1, 0, false, f->advance(g), unicode::encodeUtf8(std::u32string(1, s))});
        } else {
            appendGlyphs(s, fallback(face), out);
        }
    }
    return out;
}

std::vector<PDFGlyph> PDFFontSet::glyphRun(const std::vector<KeyGlyphRun>& runs, PDFFace face,
                                           const PDFFontSet* fonts, double size, double gap) {
    std::vector<PDFGlyph> out;
    double gapUnits = gap * 1000.0 / size;
    const TrueTypeFont* f = fonts ? fonts->font(face) : nullptr;
    for (size_t i = 0; i < runs.size(); ++i) {
        std::string text = runs[i].text;
        if (i + 1 < runs.size()) text += ' ';
        std::u32string glyph = unicode::decodeUtf8(runs[i].glyph);
        if (f && !glyph.empty() && f->hasGlyph(glyph[0])) {
            uint16_t g = f->glyphID(glyph[0]);
            out.push_back({face, g, 1, 0, false, f->advance(g) + gapUnits, text});
            continue;
        }
        auto fallbackGlyphs = glyphs(text, fallback(face), nullptr);
        out.insert(out.end(), fallbackGlyphs.begin(), fallbackGlyphs.end());
    }
    return out;
}

GlyphPlacement PDFFontSet::place(const std::vector<PDFGlyph>& glyphs, double size) {
    GlyphPlacement result;
    result.glyphs.reserve(glyphs.size());
    double pen = 0, prevX = 0, prevWidth = 0;
    for (const PDFGlyph& g : glyphs) {
        double w = g.adv / 1000.0 * size * g.scale;
        if (g.overlay) {
            result.glyphs.push_back({g, prevX + (prevWidth - w) / 2});
        } else {
            result.glyphs.push_back({g, pen});
            prevX = pen;
            prevWidth = w;
            pen += w;
        }
    }
    result.width = pen;
    return result;
}

double PDFFontSet::width(std::string_view text, const PDFStyle& style, const PDFFontSet* fonts) {
    return place(glyphs(text, style.face, fonts), style.size).width;
}

std::string PDFFontSet::literalString(std::string_view bytes) {
    std::string out = "(";
    for (char ch : bytes) {
        auto b = uint8_t(ch);
        if (b == '(' || b == ')' || b == '\\') {
            out.push_back('\\');
            out.push_back(char(b));
        } else if (b < 32 || b > 126) {
            out.push_back('\\');
            out.push_back(char('0' + (b >> 6)));
            out.push_back(char('0' + ((b >> 3) & 7)));
            out.push_back(char('0' + (b & 7)));
        } else {
            out.push_back(char(b));
        }
    }
    out.push_back(')');
    return out;
}

} // namespace tw
