#include "docexport/pdf_page.h"

#include "docexport/pdf_numbers.h"

#include <cmath>

namespace tw {

namespace {

void appendColor(std::string& out, const PDFColor& c, const char* op) {
    for (double v : {c.r, c.g, c.b}) {
        pdfnum::appendFixed2(out, v);
        out.push_back(' ');
    }
    out += op;
}

void appendNumbers(std::string& out, std::initializer_list<double> values) {
    for (double v : values) {
        out.push_back(' ');
        pdfnum::appendFixed2(out, v);
    }
}

} // namespace

void PDFPage::fillRect(double x, double y, double w, double h, const PDFColor& color) {
    std::string op;
    appendColor(op, color, "rg");
    appendNumbers(op, {x, height - y - h, w, h});
    op += " re f";
    ops.push_back(std::move(op));
}

void PDFPage::strokeLine(double x1, double y1, double x2, double y2, double lineWidth, const PDFColor& color) {
    std::string op;
    appendColor(op, color, "RG");
    appendNumbers(op, {lineWidth});
    op += " w";
    appendNumbers(op, {x1, height - y1});
    op += " m";
    appendNumbers(op, {x2, height - y2});
    op += " l S";
    ops.push_back(std::move(op));
}

double PDFPage::text(std::string_view text, double x, double y, const PDFStyle& style) {
    return drawGlyphs(PDFFontSet::glyphs(text, style.face, fonts.get()), x, y, style);
}

double PDFPage::textWidth(std::string_view text, const PDFStyle& style) const {
    return PDFFontSet::width(text, style, fonts.get());
}

double PDFPage::drawGlyphRun(const std::vector<KeyGlyphRun>& runs, double x, double y, const PDFStyle& style,
                             double gap) {
    return drawGlyphs(PDFFontSet::glyphRun(runs, style.face, fonts.get(), style.size, gap), x, y, style);
}

double PDFPage::glyphRunWidth(const std::vector<KeyGlyphRun>& runs, const PDFStyle& style, double gap) const {
    return PDFFontSet::place(PDFFontSet::glyphRun(runs, style.face, fonts.get(), style.size, gap), style.size).width;
}

double PDFPage::drawGlyphs(const std::vector<PDFGlyph>& glyphs, double x, double y, const PDFStyle& style) {
    GlyphPlacement placed = PDFFontSet::place(glyphs, style.size);
    if (placed.glyphs.empty()) return 0;
    std::string op = "BT ";
    appendColor(op, style.color, "rg");
    const auto& all = placed.glyphs;
    for (size_t i = 0; i < all.size();) {
        const PDFGlyph& first = all[i].glyph;
        double x0 = all[i].x;
        double pen = x0 + first.adv / 1000.0 * style.size * first.scale;
        size_t end = i + 1;
        if (!isEmbedded(first.face)) {
            while (end < all.size()) {
                const PDFGlyph& g = all[end].glyph;
                if (g.overlay || g.face != first.face || g.scale != first.scale || g.rise != first.rise ||
                    std::fabs(all[end].x - pen) >= 0.001)
                    break;
                pen += g.adv / 1000.0 * style.size * g.scale;
                ++end;
            }
        }
        std::string operand;
        if (isEmbedded(first.face)) {
            operand = "<";
            for (size_t k = i; k < end; ++k) {
                if (fonts) fonts->used[first.face].emplace(all[k].glyph.code, all[k].glyph.text);
                pdfnum::appendHex(operand, all[k].glyph.code, 4);
            }
            operand += ">";
        } else {
            std::string bytes;
            for (size_t k = i; k < end; ++k) bytes.push_back(char(all[k].glyph.code & 0xFF));
            operand = PDFFontSet::literalString(bytes);
        }
        op += " /F" + pdfnum::integer(rawValue(first.face)) + " ";
        pdfnum::appendFixed2(op, first.scale * style.size);
        op += " Tf 1 0 0 1";
        appendNumbers(op, {x + x0, (height - y) + first.rise * style.size});
        op += " Tm " + operand + " Tj";
        i = end;
    }
    op += " ET";
    ops.push_back(std::move(op));
    return placed.width;
}

} // namespace tw
