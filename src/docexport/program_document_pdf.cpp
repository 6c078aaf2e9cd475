#include "docexport/program_document_pdf.h"

#include "docexport/pdf_numbers.h"
#include "docexport/unicode_text.h"

#include <algorithm>

namespace tw {

namespace {

// The space between the header's title and the text right-aligned beside it.
constexpr double headerGap = 12;
// A header title longer than this is cut even where its glyphs take no width: the
// header is drawn on every page.
constexpr size_t headerTitleMaxBytes = 1024;

} // namespace

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

std::string ProgramDocumentPDF::Renderer::shortened(const std::string& text, double width,
                                                   const PDFStyle& style) const {
    if (text.size() <= headerTitleMaxBytes && measure(text, style) <= width) return text;
    const std::string ellipsis = "\u2026";
    const double room = width - measure(ellipsis, style);
    std::string kept;
    double pen = 0;
    for (const std::u32string& cluster : unicode::graphemeClusters(unicode::decodeUtf8(text))) {
        const std::string bytes = unicode::encodeUtf8(cluster);
        pen += measure(bytes, style);
        if (pen > room || kept.size() + bytes.size() > headerTitleMaxBytes) break;
        kept += bytes;
    }
    return kept + ellipsis;
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

    const std::string subtitle = content.info.modelName + " program documentation";
    const PDFStyle small{PDFFace::regular, 8, grey};
    const PDFStyle titleStyle{PDFFace::bold, 8.5, ink};
    const double subtitleX = right - measure(subtitle, small);
    // Drawn whole on every page, a long title would make the file grow with pages × title.
    const std::string title = shortened(content.displayTitle(), subtitleX - headerGap - left, titleStyle);
    const auto& pages = writer.pages();
    for (size_t n = 0; n < pages.size(); ++n) {
        page = pages[n].get();
        draw(title, left, 32, titleStyle);
        draw(subtitle, subtitleX, 32, small);
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
        double glyphHeight = 0;
        for (const Cell& cell : cells)
            if (cell.isGlyphCell) glyphHeight = std::max(glyphHeight, cell.captionBeside ? 15.0 : 23.0);
        h = std::max(h, glyphHeight);

        // The lines [from, to) of the row's text cells, `sliceHeight` high, at y; the
        // glyph cells belong to the row's first slice.
        const auto drawSlice = [&](size_t from, size_t to, double sliceHeight) {
            if (band && band(i)) page->fillRect(left, y, right - left, sliceHeight, labelBand);
            double x = left;
            for (size_t c = 0; c < columns.size(); ++c) {
                const Column& col = columns[c];
                const Cell& cell = cells[c];
                const std::string& text = c < rows[i].size() ? rows[i][c] : std::string();
                if (col.fill) page->fillRect(x + 2, y + 1.5, col.width - 4, sliceHeight - 3, *col.fill);
                if (cell.isGlyphCell) {
                    if (from == 0) {
                        double w = page->drawGlyphs(cell.glyphs, x + 4, y + 11, keyStyle);
                        if (cell.captionBeside) draw(text, x + 4 + w + 5, y + 10.5, captionStyle);
                        else draw(text, x + 4, y + 20, captionStyle);
                    }
                } else {
                    for (size_t j = from; j < std::min(to, cell.lines.size()); ++j)
                        draw(cell.lines[j], x + 4, y + 10 + 11.5 * double(j - from), cell.style);
                }
                x += col.width;
            }
            y += sliceHeight;
            page->strokeLine(left, y, right, y, 0.3, ruleGrey);
        };
        const auto continuePage = [&] {
            newPage();
            draw(title + " (continued)", left, top + 9, {PDFFace::regular, 8.5, grey});
            y = top + 14;
            tableHeader(columns);
        };
        // A row that a page of its own can hold is moved there whole. A taller one starts
        // where it is and continues on as many pages as it needs, each with the table's
        // header, so none of its text runs past the bottom over the footer.
        const double pageRoom = bottom - (top + 29);
        if (y + h > bottom && h <= pageRoom) continuePage();
        if (y + h <= bottom) {
            drawSlice(0, maxLines, h);
            continue;
        }
        for (size_t from = 0; from < maxLines;) {
            const double room = bottom - y - 3;
            size_t to = std::min(maxLines, from + size_t(std::max(0.0, room / 11.5)));
            double sliceHeight = double(to - from) * 11.5 + 3;
            if (from == 0) sliceHeight = std::max(sliceHeight, glyphHeight);
            if (to == from || y + sliceHeight > bottom) {
                continuePage();
                continue;
            }
            drawSlice(from, to, sliceHeight);
            from = to;
            if (from < maxLines) continuePage();
        }
    }
}

} // namespace tw
