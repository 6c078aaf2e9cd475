#include "docexport/pdf_font_set.h"
#include "docexport/pdf_page.h"
#include "docexport/standard_font_widths.h"
#include "docexport/unicode_text.h"

#include "docexport/font_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tw::test {
namespace {

struct Expect {
    PDFFace face;
    uint16_t code;
    double scale = 1, rise = 0;
    bool overlay = false;
};

void expectGlyphs(const std::vector<PDFGlyph>& got, const std::vector<Expect>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].face, want[i].face) << i;
        EXPECT_EQ(got[i].code, want[i].code) << i;
        EXPECT_DOUBLE_EQ(got[i].scale, want[i].scale) << i;
        EXPECT_DOUBLE_EQ(got[i].rise, want[i].rise) << i;
        EXPECT_EQ(got[i].overlay, want[i].overlay) << i;
    }
}

std::vector<PDFGlyph> map(std::string_view text, PDFFace face = PDFFace::regular, const PDFFontSet* fonts = nullptr) {
    return PDFFontSet::glyphs(text, face, fonts);
}

TEST(GlyphMapping, StandardWidthTables) {
    auto g = map("Aé");
    expectGlyphs(g, {{PDFFace::regular, 0x41}, {PDFFace::regular, 0xE9}});
    EXPECT_EQ(g[0].adv, 667);
    EXPECT_EQ(g[1].adv, 556);
    EXPECT_EQ(map("W", PDFFace::bold)[0].adv, 944);
    EXPECT_EQ(map("i", PDFFace::monoBold)[0].adv, 600);
    // Unassigned WinAnsi codes have the bullet's width; control codes none.
    EXPECT_EQ(PDFFontSet::place({PDFGlyph{PDFFace::regular, 0x81, 1, 0, false, 350, {}}}, 10).width, 3.5);
    EXPECT_FALSE(PDFFontSet::winAnsiCode(0x81).has_value());
    EXPECT_FALSE(PDFFontSet::winAnsiCode(U'\t').has_value());
    EXPECT_FALSE(PDFFontSet::winAnsiCode(0x7F).has_value());
    EXPECT_EQ(PDFFontSet::winAnsiCode(0x20AC), 0x80);
    EXPECT_EQ(PDFFontSet::winAnsiCode(0x0178), 0x9F);
}

TEST(GlyphMapping, WidthTablesHaveTheirFixedShape) {
    namespace sw = standard_widths;
    for (int code = 0; code < 256; ++code) {
        bool control = code < 32;
        if (control) {
            EXPECT_EQ(sw::helvetica[code] | sw::helveticaBold[code] | sw::courier[code] | sw::symbol[code], 0) << code;
            continue;
        }
        EXPECT_EQ(sw::courier[code], 600) << code;
        bool unassigned = code == 0x7F || code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D;
        if (unassigned) {
            EXPECT_EQ(sw::helvetica[code], 350) << code;
            EXPECT_EQ(sw::helveticaBold[code], 350) << code;
        }
        EXPECT_GT(sw::helvetica[code], 0) << code;
        EXPECT_GT(sw::helveticaBold[code], 0) << code;
    }
    // The Symbol font has no glyphs at 0x7F to 0x9F, and its space is 250.
    for (int code = 0x7F; code <= 0x9F; ++code) EXPECT_EQ(sw::symbol[code], 0) << code;
    EXPECT_EQ(sw::symbol[0x20], 250);
    EXPECT_EQ(sw::symbol[0xF2], 274); // integral
}

TEST(GlyphMapping, SymbolSubstitutions) {
    for (PDFFace face : {PDFFace::regular, PDFFace::mono}) {
        auto g = map("π", face);
        expectGlyphs(g, {{PDFFace::symbol, 0x70}});
        EXPECT_EQ(g[0].adv, 549);
    }
    auto p = map("p", PDFFace::symbol);
    expectGlyphs(p, {{PDFFace::symbol, 0x70}});
    EXPECT_EQ(p[0].adv, 549);
    expectGlyphs(map("∑≤−"), {{PDFFace::symbol, 0x53}, {PDFFace::symbol, 0xA3}, {PDFFace::symbol, 0x2D}});
}

TEST(GlyphMapping, SpecialCharacters) {
    auto g = map("≷");
    expectGlyphs(g, {{PDFFace::regular, 0x3E, 0.62, 0.40}, {PDFFace::regular, 0x3C, 0.62, -0.02, true}});
    auto placed = PDFFontSet::place(g, 10);
    double gt = 584 / 1000.0 * 10 * 0.62;
    EXPECT_DOUBLE_EQ(placed.width, gt);
    EXPECT_DOUBLE_EQ(placed.glyphs[1].x, (gt - gt) / 2); // "<" is as wide as ">": centred at 0

    expectGlyphs(map("x⁻¹"), {{PDFFace::regular, 'x'}, {PDFFace::regular, '-', 0.75, 0.30}, {PDFFace::regular, 0xB9}});
    expectGlyphs(map("\t\n\r"), {{PDFFace::regular, 0x20}, {PDFFace::regular, 0x20}, {PDFFace::regular, 0x20}});
    expectGlyphs(map("ₓˣʸ"), {{PDFFace::regular, 'x', 0.65, -0.14}, {PDFFace::regular, 'x', 0.65, 0.38},
                             {PDFFace::regular, 'y', 0.65, 0.38}});
    EXPECT_DOUBLE_EQ(PDFFontSet::place(map("\t", PDFFace::bold), 10).width, 2.78);
}

TEST(GlyphMapping, DecompositionAndFallback) {
    expectGlyphs(map("ǹ"), {{PDFFace::regular, 'n'}, {PDFFace::regular, '?'}});
    auto c = map("ĉ", PDFFace::bold);
    expectGlyphs(c, {{PDFFace::bold, 'c'}, {PDFFace::bold, 0x88, 1, 0, true}});
    auto placed = PDFFontSet::place(c, 10);
    EXPECT_DOUBLE_EQ(placed.width, 5.56);
    EXPECT_DOUBLE_EQ(placed.glyphs[1].x, (5.56 - 3.33) / 2);
    expectGlyphs(map("x̄"), {{PDFFace::regular, 'x'}, {PDFFace::regular, 0xAF, 1, 0, true}});
    expectGlyphs(map("€"), {{PDFFace::regular, 0x80}});
    expectGlyphs(map("中"), {{PDFFace::regular, '?'}});
    expectGlyphs(map("😀"), {{PDFFace::regular, '?'}});
}

TEST(GlyphMapping, EmbeddedFacesWithoutFontsFallBack) {
    expectGlyphs(map("8,", PDFFace::display), {{PDFFace::monoBold, '8'}, {PDFFace::monoBold, ','}});
    PDFFontSet none;
    expectGlyphs(map("A", PDFFace::keys, &none), {{PDFFace::regular, 'A'}});
    EXPECT_TRUE(map("", PDFFace::keys, &none).empty());
}

class RealFonts : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kDejaVuSans) || !std::filesystem::exists(kDejaVuMono)) GTEST_SKIP();
        fonts = std::make_unique<PDFFontSet>(TrueTypeFont(readFile(kDejaVuSans)), TrueTypeFont(readFile(kDejaVuMono)));
    }
    std::unique_ptr<PDFFontSet> fonts;
};

TEST_F(RealFonts, DisplayFontGlyphsAndFallback) {
    const TrueTypeFont& mono = fonts->embedded.at(PDFFace::display);
    auto g = map("8中", PDFFace::display, fonts.get());
    ASSERT_EQ(g.size(), 2u);
    EXPECT_EQ(g[0].face, PDFFace::display);
    EXPECT_EQ(g[0].code, mono.glyphID(U'8'));
    EXPECT_EQ(g[0].text, "8");
    EXPECT_DOUBLE_EQ(g[0].adv, mono.advance(mono.glyphID(U'8')));
    EXPECT_EQ(g[1].face, PDFFace::monoBold);
    EXPECT_EQ(g[1].code, '?');
    EXPECT_TRUE(g[1].text.empty());
}

TEST_F(RealFonts, KeyGlyphRuns) {
    const TrueTypeFont& keys = fonts->embedded.at(PDFFace::keys);
    std::vector<KeyGlyphRun> runs{{"\u00A4", "STO"}, {"1", "1"}, {"5", "5"}};
    auto g = PDFFontSet::glyphRun(runs, PDFFace::keys, fonts.get(), 10, 1);
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].text, "STO ");
    EXPECT_EQ(g[1].text, "1 ");
    EXPECT_EQ(g[2].text, "5");
    EXPECT_EQ(g[0].code, keys.glyphID(0xA4));
    EXPECT_DOUBLE_EQ(g[1].adv, keys.advance(keys.glyphID(U'1')) + 100);

    // A character the font lacks, and an empty glyph text, fall back to the text in Helvetica.
    auto fallback = PDFFontSet::glyphRun({{"\u4E2D", "AB"}, {"", "C"}}, PDFFace::keys, fonts.get(), 10, 1);
    expectGlyphs(fallback, {{PDFFace::regular, 'A'}, {PDFFace::regular, 'B'}, {PDFFace::regular, ' '},
                            {PDFFace::regular, 'C'}});
    auto noFont = PDFFontSet::glyphRun(runs, PDFFace::keys, nullptr, 10, 1);
    EXPECT_EQ(noFont.size(), 7u); // "STO 1 5" in Helvetica
}

TEST(LineWrapping, ParagraphsBlanksAndLongWords) {
    PDFStyle style{PDFFace::regular, 10, {}};
    auto wrap = [&](std::string_view text, double width) { return PDFFontSet::wrapLines(text, width, style, nullptr); };
    EXPECT_EQ(wrap("", 100), (std::vector<std::string>{""}));
    EXPECT_EQ(wrap("a\n\nb", 100), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(wrap("  a", 100), (std::vector<std::string>{"a"}));
    // "aaa bbb" is 36.14 points wide; the blank at the break is dropped.
    EXPECT_EQ(wrap("aaa bbb", 36.1), (std::vector<std::string>{"aaa", "bbb"}));
    EXPECT_EQ(wrap("aaa bbb", 36.2), (std::vector<std::string>{"aaa bbb"}));
    // A word about three times the maximum: longest fitting prefixes (five "a" make 27.8
    // points), and the last piece stays the current line for the next word.
    EXPECT_EQ(wrap("aaaaaaaaaaaaaa b", 31), (std::vector<std::string>{"aaaaa", "aaaaa", "aaaa b"}));
    EXPECT_EQ(wrap("ab cd", -1), (std::vector<std::string>{"a", "b", "c", "d"}));
    // Words are cut between user-perceived characters only.
    // (the combining acute has no glyph of its own: "e?" is 11.12 points)
    EXPECT_EQ(wrap("e\u0301e\u0301e\u0301", 22.3), (std::vector<std::string>{"e\u0301e\u0301", "e\u0301"}));
}

// The cutting of over-long words, measured prefix by prefix as the rule states it.
std::vector<std::string> cutByEveryPrefix(const std::string& word, double width, const PDFStyle& style) {
    std::vector<std::string> lines;
    auto chars = unicode::graphemeClusters(unicode::decodeUtf8(word));
    auto text = [&](size_t from, size_t to) {
        std::u32string t;
        for (size_t k = from; k < to; ++k) t += chars[k];
        return unicode::encodeUtf8(t);
    };
    size_t pos = 0;
    for (;;) {
        size_t n = chars.size() - pos;
        if (PDFFontSet::width(text(pos, chars.size()), style, nullptr) <= width || n < 2) {
            lines.push_back(text(pos, chars.size()));
            return lines;
        }
        size_t taken = 1;
        for (size_t k = n - 1; k >= 2; --k) {
            if (PDFFontSet::width(text(pos, pos + k), style, nullptr) <= width) {
                taken = k;
                break;
            }
        }
        lines.push_back(text(pos, pos + taken));
        pos += taken;
    }
}

TEST(LineWrapping, LongWordsMatchPrefixByPrefixMeasuring) {
    const std::string word = "Wîllé≷x⁻¹MMiiiiπé̂abcdefWWW";
    for (PDFFace face : {PDFFace::regular, PDFFace::bold, PDFFace::mono}) {
        PDFStyle style{face, 9.5, {}};
        for (double width = -1; width < 60; width += 0.37)
            EXPECT_EQ(PDFFontSet::wrapLines(word, width, style, nullptr), cutByEveryPrefix(word, width, style))
                << width;
    }
    // A pasted blob without blanks is cut in one pass per line, not by measuring every prefix.
    std::string blob(20000, 'x');
    auto lines = PDFFontSet::wrapLines(blob, 100, {PDFFace::regular, 10, {}}, nullptr);
    EXPECT_EQ(lines.size(), 20000u / 20);
    EXPECT_EQ(lines.front(), std::string(20, 'x'));
}

TEST(PageDrawing, OperatorsAndTextRuns) {
    auto fonts = std::make_shared<PDFFontSet>();
    PDFPage page(595.28, 841.89, fonts);
    page.fillRect(46, 129.89, 503.28, 12, PDFColor(0.95, 0.95, 0.95));
    page.strokeLine(46, 100, 549, 100, 0.5, PDFColor::black());
    EXPECT_DOUBLE_EQ(page.text("Hi", 46, 100, {PDFFace::regular, 10, PDFColor::black()}), 9.44);
    EXPECT_EQ(page.text("", 46, 100, {}), 0);
    ASSERT_EQ(page.ops.size(), 3u);
    EXPECT_EQ(page.ops[0], "0.95 0.95 0.95 rg 46.00 700.00 503.28 12.00 re f");
    EXPECT_EQ(page.ops[1], "0.00 0.00 0.00 RG 0.50 w 46.00 741.89 m 549.00 741.89 l S");
    EXPECT_EQ(page.ops[2], "BT 0.00 0.00 0.00 rg /F1 10.00 Tf 1 0 0 1 46.00 741.89 Tm (Hi) Tj ET");

    page.text("a(π)ĉ", 10, 100, {PDFFace::bold, 10, PDFColor::rgb(0x9A3B2A)});
    EXPECT_EQ(page.ops[3],
              "BT 0.60 0.23 0.16 rg /F2 10.00 Tf 1 0 0 1 10.00 741.89 Tm (a\\() Tj"
              " /F5 10.00 Tf 1 0 0 1 18.89 741.89 Tm (p) Tj"
              " /F2 10.00 Tf 1 0 0 1 24.38 741.89 Tm (\\)c) Tj"
              " /F2 10.00 Tf 1 0 0 1 28.83 741.89 Tm (\\210) Tj ET");
    page.text("x⁻", 0, 0, {});
    EXPECT_EQ(page.ops[4], "BT 0.00 0.00 0.00 rg /F1 10.00 Tf 1 0 0 1 0.00 841.89 Tm (x) Tj"
                           " /F1 7.50 Tf 1 0 0 1 5.00 844.89 Tm (-) Tj ET");
    EXPECT_TRUE(fonts->used.empty());
}

TEST(PageDrawing, LiteralStrings) {
    EXPECT_EQ(PDFFontSet::literalString("a\\b"), "(a\\\\b)");
    EXPECT_EQ(PDFFontSet::literalString("\t"), "(\\011)");
    EXPECT_EQ(PDFFontSet::literalString(""), "()");
    EXPECT_EQ(PDFFontSet::literalString("\xE9~"), "(\\351~)");
}

TEST_F(RealFonts, EmbeddedRunsRecordUsedGlyphsOnlyWhenDrawn) {
    auto shared = std::make_shared<PDFFontSet>(std::move(*fonts));
    PDFPage page(612, 792, shared);
    PDFStyle keyStyle{PDFFace::keys, 10, PDFColor::black()};
    double measured = page.textWidth("AB", keyStyle);
    EXPECT_TRUE(shared->used.empty());
    EXPECT_DOUBLE_EQ(page.text("AB中", 0, 0, keyStyle), measured + 5.56); // 中 falls back to "?" in Helvetica
    const TrueTypeFont& keys = shared->embedded.at(PDFFace::keys);
    uint16_t a = keys.glyphID(U'A'), b = keys.glyphID(U'B');
    EXPECT_EQ(shared->used.at(PDFFace::keys), (std::map<uint16_t, std::string>{{a, "A"}, {b, "B"}}));
    std::string hexA, hexB;
    char buf[8];
    std::snprintf(buf, sizeof buf, "<%04X>", a), hexA = buf;
    std::snprintf(buf, sizeof buf, "<%04X>", b), hexB = buf;
    EXPECT_NE(page.ops[0].find(" /F6 10.00 Tf 1 0 0 1 0.00 792.00 Tm " + hexA + " Tj"), std::string::npos);
    EXPECT_NE(page.ops[0].find(hexB + " Tj /F1 10.00 Tf"), std::string::npos);
    EXPECT_EQ(page.ops[0].find(hexA + hexB), std::string::npos); // one run per embedded glyph
}

} // namespace
} // namespace tw::test
