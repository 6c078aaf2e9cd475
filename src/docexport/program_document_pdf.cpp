#include "docexport/program_document_pdf.h"

#include "docexport/pdf_numbers.h"

#include <algorithm>

namespace tw {

namespace {

PDFColor rgb255(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

} // namespace

const PDFColor ProgramDocumentPDF::ink = rgb255(26, 26, 26);
const PDFColor ProgramDocumentPDF::grey = rgb255(107, 107, 107);
const PDFColor ProgramDocumentPDF::ruleGrey = rgb255(201, 201, 201);
const PDFColor ProgramDocumentPDF::headerFill = rgb255(236, 236, 236);
const PDFColor ProgramDocumentPDF::labelBand = rgb255(251, 241, 217);
const PDFColor ProgramDocumentPDF::displayFill = rgb255(223, 229, 211);
const PDFColor ProgramDocumentPDF::accent = rgb255(154, 59, 42);
const PDFStyle ProgramDocumentPDF::keyStyle{PDFFace::keys, 10, rgb255(26, 26, 26)};
const PDFStyle ProgramDocumentPDF::captionStyle{PDFFace::regular, 7, rgb255(107, 107, 107)};

std::vector<uint8_t> ProgramDocumentPDF::render(const ProgramDocumentContent& content, PDFPaper paper,
                                                std::shared_ptr<PDFFontSet> fonts) {
    if (!fonts) fonts = std::make_shared<PDFFontSet>();
    PDFDocumentWriter writer(paper, fonts);
    writer.title = content.displayTitle();
    Renderer renderer(content, writer);
    renderer.renderAll();
    return writer.data();
}

ProgramDocumentPDF::Renderer::Renderer(const ProgramDocumentContent& c, PDFDocumentWriter& w)
    : content(c), writer(w), W(paperSize(w.paper()).width), H(paperSize(w.paper()).height), right(W - 46),
      bottom(H - 48) {}

double ProgramDocumentPDF::Renderer::draw(const std::string& text, double x, double baseline, const PDFStyle& style) {
    return page->drawGlyphs(PDFFontSet::glyphs(text, style.face, fonts()), x, baseline, style);
}

double ProgramDocumentPDF::Renderer::measure(const std::string& text, const PDFStyle& style) const {
    return PDFFontSet::width(text, style, fonts());
}

std::vector<std::string> ProgramDocumentPDF::Renderer::wrap(const std::string& text, double width,
                                                            const PDFStyle& style) const {
    return PDFFontSet::wrapLines(text, width, style, fonts());
}

void ProgramDocumentPDF::Renderer::drawWrapped(const std::string& text, double x, double width, const PDFStyle& style,
                                               double lineHeight, double baseline) {
    for (const std::string& line : wrap(text, width, style)) {
        if (y + lineHeight > bottom) newPage();
        draw(line, x, y + baseline, style);
        y += lineHeight;
    }
}

void ProgramDocumentPDF::Renderer::renderAll() {
    newPage();
    drawCover();
    drawLabels();
    drawRegistersAndFlags();
    drawMatrices();
    drawListing();
    drawOrphanedComments();

    const std::string title = content.displayTitle();
    const std::string subtitle = content.info.modelName + " program documentation";
    const auto& pages = writer.pages();
    for (size_t n = 0; n < pages.size(); ++n) {
        page = pages[n].get();
        draw(title, left, 32, {PDFFace::bold, 8.5, ink});
        PDFStyle small{PDFFace::regular, 8, grey};
        draw(subtitle, right - measure(subtitle, small), 32, small);
        page->strokeLine(left, 38, right, 38, 0.5, ruleGrey);
        std::string footer = "Page " + pdfnum::integer(int64_t(n + 1)) + " of " + pdfnum::integer(int64_t(pages.size()));
        draw(footer, (W - measure(footer, small)) / 2, H - 26, small);
    }
}

void ProgramDocumentPDF::Renderer::newPage() {
    page = &writer.newPage();
    y = top;
}

void ProgramDocumentPDF::Renderer::sectionHeading(const std::string& title) {
    double y0;
    if (y + 90 > bottom) {
        newPage();
        y0 = top;
    } else {
        y0 = y + 16;
    }
    draw(title, left, y0 + 13, {PDFFace::bold, 13, ink});
    page->strokeLine(left, y0 + 19, right, y0 + 19, 0.8, ink);
    y = y0 + 27;
}

void ProgramDocumentPDF::Renderer::tableHeader(const std::vector<Column>& columns) {
    page->fillRect(left, y, right - left, 15, headerFill);
    double x = left;
    for (const Column& c : columns) {
        draw(c.title, x + 4, y + 10.5, {PDFFace::bold, 8.5, ink});
        x += c.width;
    }
    y += 15;
}

void ProgramDocumentPDF::Renderer::table(const std::string& title, const std::vector<Column>& columns,
                                         const std::vector<std::vector<std::string>>& rows,
                                         const StyleOverride& override, const RowBand& band) {
    if (y + 43 > bottom) newPage();
    tableHeader(columns);
    struct Cell {
        PDFStyle style;
        std::vector<std::string> lines;
        std::vector<PDFGlyph> glyphs; // a glyph cell when not empty
        bool captionBeside = false;
        bool isGlyphCell = false;
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        std::vector<Cell> cells(columns.size());
        size_t maxLines = 1;
        double h = 0;
        for (size_t c = 0; c < columns.size(); ++c) {
            const Column& col = columns[c];
            const std::string& text = c < rows[i].size() ? rows[i][c] : std::string();
            Cell& cell = cells[c];
            std::optional<std::vector<KeyGlyphRun>> runs = col.glyphs ? col.glyphs(i) : std::nullopt;
            if (runs) {
                cell.isGlyphCell = true;
                cell.glyphs = PDFFontSet::glyphRun(*runs, keyStyle.face, fonts(), 10, 1);
                double glyphWidth = PDFFontSet::place(cell.glyphs, 10).width;
                double captionWidth = measure(text, captionStyle);
                cell.captionBeside = col.width - 8 >= glyphWidth + 5 + captionWidth;
            } else {
                cell.style = col.style;
                if (override)
                    if (auto s = override(i, c)) cell.style = *s;
                cell.lines = wrap(text, col.width - 8, cell.style);
                maxLines = std::max(maxLines, cell.lines.size());
            }
        }
        h = double(maxLines) * 11.5 + 3;
        for (const Cell& cell : cells)
            if (cell.isGlyphCell) h = std::max(h, cell.captionBeside ? 15.0 : 23.0);

        if (y + h > bottom) {
            newPage();
            draw(title + " (continued)", left, top + 9, {PDFFace::regular, 8.5, grey});
            y = top + 14;
            tableHeader(columns);
        }
        if (band && band(i)) page->fillRect(left, y, right - left, h, labelBand);
        double x = left;
        for (size_t c = 0; c < columns.size(); ++c) {
            const Column& col = columns[c];
            const Cell& cell = cells[c];
            const std::string& text = c < rows[i].size() ? rows[i][c] : std::string();
            if (col.fill) page->fillRect(x + 2, y + 1.5, col.width - 4, h - 3, *col.fill);
            if (cell.isGlyphCell) {
                double w = page->drawGlyphs(cell.glyphs, x + 4, y + 11, keyStyle);
                if (cell.captionBeside) draw(text, x + 4 + w + 5, y + 10.5, captionStyle);
                else draw(text, x + 4, y + 20, captionStyle);
            } else {
                for (size_t j = 0; j < cell.lines.size(); ++j)
                    draw(cell.lines[j], x + 4, y + 10 + 11.5 * double(j), cell.style);
            }
            x += col.width;
        }
        y += h;
        page->strokeLine(left, y, right, y, 0.3, ruleGrey);
    }
}

} // namespace tw
