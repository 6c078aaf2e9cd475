// The sections of the documentation PDF: cover block, memory configuration, description
// and the tables of labels, registers and flags, matrices, listing and orphaned comments.
#include "docexport/program_document_pdf.h"

#include "docexport/hp15c_key_glyphs.h"
#include "docexport/pdf_numbers.h"
#include "docexport/unicode_text.h"

#include <cstdio>

namespace tw {

namespace {

using Renderer = ProgramDocumentPDF::Renderer;
using Column = ProgramDocumentPDF::Column;
using Case = Pool15::Kind::Case;

PDFColor rgb255(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0}; }

PDFColor segmentColour(const Pool15::Kind& kind) {
    switch (kind.kind) {
    case Case::matrix: {
        static const PDFColor matrices[] = {rgb255(227, 163, 59), rgb255(212, 176, 76), rgb255(185, 185, 87),
                                            rgb255(157, 191, 98), rgb255(127, 191, 115)};
        return matrices[std::clamp(kind.matrix, 0, 4)];
    }
    case Case::workspace: return rgb255(199, 125, 204);
    case Case::free: return rgb255(228, 228, 224);
    case Case::complex: return rgb255(224, 122, 95);
    case Case::storage: return rgb255(90, 169, 230);
    case Case::program: return rgb255(76, 191, 107);
    }
    return rgb255(228, 228, 224);
}

std::string legendName(const Pool15::Kind& kind) {
    switch (kind.kind) {
    case Case::matrix: return "matrices";
    case Case::workspace: return "SOLVE/\u222B workspace";
    case Case::free: return "free";
    case Case::complex: return "complex (imaginary stack)";
    case Case::storage: return "R2\u2026";
    case Case::program: return "program";
    }
    return "";
}

std::string trimBlanksAndTabs(const std::string& s) {
    size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

std::string stepNumber(int64_t step) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03lld", static_cast<long long>(step)); // integers only: locale-free
    return buf;
}

const PDFStyle kBody9{PDFFace::regular, 9, ProgramDocumentPDF::ink};
const PDFStyle kBold9{PDFFace::bold, 9, ProgramDocumentPDF::ink};
const PDFStyle kGrey9{PDFFace::regular, 9, ProgramDocumentPDF::grey};

} // namespace

void Renderer::drawCover() {
    const double y0 = y;
    draw(content.displayTitle(), left, y0 + 22, {PDFFace::bold, 22, ink});
    draw("Program documentation", left, y0 + 43, {PDFFace::regular, 11, grey});
    y = y0 + 58;

    size_t definedLabels = 0;
    for (const auto& label : content.analysis.labels)
        if (!label.defined.empty() && !label.isIndirect) ++definedLabels;
    std::vector<std::pair<std::string, std::string>> facts{{"Model", content.info.modelName}};
    if (!content.info.firmware.empty()) facts.emplace_back("Firmware", content.info.firmware);
    if (!content.info.memoryFile.empty()) facts.emplace_back("Memory file", content.info.memoryFile);
    facts.emplace_back("Steps", pdfnum::integer(int64_t(content.lines.size())));
    facts.emplace_back("Labels", pdfnum::integer(int64_t(definedLabels)));
    facts.emplace_back("Date", content.info.dateText());
    if (!content.doc.author.empty()) facts.emplace_back("Author", content.doc.author);

    const double n = double(facts.size());
    page->fillRect(left, y - 4, textArea(), 15 * n + 8, rgb255(245, 245, 242));
    for (size_t k = 0; k < facts.size(); ++k) {
        draw(facts[k].first, left + 8, y + 10 + 15 * double(k), {PDFFace::regular, 9, grey});
        draw(facts[k].second, left + 92, y + 10 + 15 * double(k), {PDFFace::regular, 10, ink});
    }
    y += 15 * n + 10;

    drawMemoryConfiguration();
    if (!content.doc.description.empty()) {
        sectionHeading("Description");
        drawDescription(content.doc.description);
    }
}

void Renderer::drawMemoryConfiguration() {
    auto rows = content.memoryRows();
    if (rows.empty() || !content.pool) return;
    sectionHeading("Memory configuration");
    const PDFStyle value{PDFFace::regular, 9.5, ink};
    for (const auto& row : rows) {
        auto lines = wrap(row.value, textArea() - 100, value);
        double h = double(lines.size()) * 12.5;
        if (y + h > bottom) newPage();
        draw(row.label, left + 4, y + 9.5, kGrey9);
        for (size_t j = 0; j < lines.size(); ++j) draw(lines[j], left + 100, y + 9.5 + 12.5 * double(j), value);
        y += h;
    }

    if (y + 40 > bottom) newPage();
    y += 6;
    const double b = y;
    auto segments = content.pool->segments();
    int total = 0;
    for (const auto& s : segments) total += s.count;
    double divisor = total < 1 ? 1 : total;
    double x = left;
    for (const auto& s : segments) {
        double w = s.count * textArea() / divisor;
        page->fillRect(x, b, std::max(w - 0.6, 0.8), 10, segmentColour(s.kind));
        x += w;
    }

    const double l = b + 22;
    const PDFStyle legend{PDFFace::regular, 7.5, grey};
    std::vector<std::string> given;
    x = left;
    for (const auto& s : segments) {
        std::string name = legendName(s.kind);
        if (std::find(given.begin(), given.end(), name) != given.end()) continue;
        given.push_back(name);
        int sum = 0;
        for (const auto& other : segments)
            if (legendName(other.kind) == name) sum += other.count;
        std::string text = name + " " + pdfnum::integer(sum);
        page->fillRect(x, l - 6.5, 7, 7, segmentColour(s.kind));
        draw(text, x + 10, l, legend);
        x += 10 + measure(text, legend) + 12;
    }
    y = l + 10;
}

void Renderer::drawDescription(const std::string& text) {
    const PDFStyle body{PDFFace::regular, 10, ink};
    const PDFStyle heading{PDFFace::bold, 10.5, ink};
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        std::string line = trimBlanksAndTabs(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (line.empty()) {
            y += 6;
        } else if (line[0] == '#') {
            std::string title = line.substr(std::min(line.find_first_not_of("# "), line.size()));
            if (y + 30 > bottom) newPage();
            y += 6;
            drawWrapped(title, left, textArea(), heading, 14, 10.5);
        } else if (line.rfind("- ", 0) == 0 || line.rfind("\u2022 ", 0) == 0) {
            if (y + 13 > bottom) newPage();
            draw("\u2022", left + 4, y + 10, body);
            drawWrapped(line.substr(line[0] == '-' ? 2 : 4), left + 14, textArea() - 14, body, 13, 10);
        } else {
            drawWrapped(line, left, textArea(), body, 13, 10);
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

void Renderer::drawLabels() {
    auto rows = content.labelRows();
    if (rows.empty()) return;
    const bool hp12 = content.info.model == 12;
    sectionHeading(hp12 ? "Branch targets" : "Labels");
    std::vector<Column> columns{{hp12 ? "Line" : "Label", 64, kBold9, {}, {}},
                                {"Defined at", 62, kBody9, {}, {}},
                                {"Called from", 150, kBody9, {}, {}},
                                {"Notes", textArea() - 276, kBody9, {}, {}}};
    std::vector<std::vector<std::string>> cells;
    for (const auto& r : rows) cells.push_back({r.label, r.defined, r.called, r.notes});
    table("Labels", columns, cells, [&](size_t row, size_t column) -> std::optional<PDFStyle> {
        if (column == 1 && cells[row][1] == "not defined") return PDFStyle{PDFFace::regular, 9, accent};
        return std::nullopt;
    });
}

void Renderer::drawRegistersAndFlags() {
    auto rows = content.registerRows();
    auto flags = content.flagRows();
    if (rows.empty() && flags.empty()) return;
    sectionHeading(flags.empty() ? "Registers" : "Registers and flags");
    rows.insert(rows.end(), flags.begin(), flags.end());
    std::vector<Column> columns{{"Register", 64, kBold9, {}, {}},
                                {"Name / meaning", textArea() - 316, kBody9, {}, {}},
                                {"Use", 112, kBody9, {}, {}},
                                {"Steps", 140, kBody9, {}, {}}};
    std::vector<std::vector<std::string>> cells;
    for (const auto& r : rows) cells.push_back({r.reg, r.name, r.use, r.steps});
    table("Registers", columns, cells);
}

void Renderer::drawMatrices() {
    auto rows = content.matrixRows();
    if (rows.empty()) return;
    sectionHeading("Matrices and complex");
    std::vector<Column> columns{{"Item", 84, kBold9, {}, {}},
                                {"Operations", 120, kBody9, {}, {}},
                                {"Steps", 100, kBody9, {}, {}},
                                {"Notes", textArea() - 304, kBody9, {}, {}}};
    std::vector<std::vector<std::string>> cells;
    for (const auto& r : rows) cells.push_back({r.item, r.operations, r.steps, r.notes});
    table("Matrices and complex", columns, cells);
}

void Renderer::drawListing() {
    sectionHeading("Program listing");
    auto rows = content.listingRows();
    if (rows.empty()) {
        drawWrapped("The calculator holds no program.", left, textArea(), {PDFFace::regular, 10, grey}, 13, 10);
        return;
    }
    const PDFFontSet* set = fonts();
    const bool hp12 = content.info.model == 12;
    const bool keyGlyphs = content.info.model == 15 && set && set->hasFont(PDFFace::keys);
    const double displayWidth = hp12 ? 82 : 92;
    const double keysWidth = keyGlyphs ? 150 : 104;
    PDFStyle displayStyle = set && set->hasFont(PDFFace::display) ? PDFStyle{PDFFace::display, 11, ink}
                                                                    : PDFStyle{PDFFace::monoBold, 9, ink};
    Column keys{"Keys", keysWidth, kBody9, {}, {}};
    if (keyGlyphs) {
        keys.glyphs = [this](size_t row) -> std::optional<std::vector<KeyGlyphRun>> {
            if (row >= content.lines.size()) return std::nullopt;
            return HP15CKeyGlyphs::runs(content.lines[row]);
        };
    }
    std::vector<Column> columns{{"Step", 34, kGrey9, {}, {}},
                                {"Display", displayWidth, displayStyle, displayFill, {}},
                                keys,
                                {"Comment", textArea() - 34 - displayWidth - keysWidth, kBody9, {}, {}}};
    std::vector<std::vector<std::string>> cells;
    for (const auto& r : rows) cells.push_back({r.step, r.screen, r.keys, r.comment});
    table(
        "Program listing", columns, cells,
        [&](size_t row, size_t column) -> std::optional<PDFStyle> {
            if (column == 2 && rows[row].isLabel) return kBold9;
            return std::nullopt;
        },
        [&](size_t row) { return rows[row].isLabel; });
}

void Renderer::drawOrphanedComments() {
    auto comments = content.doc.orphanedComments();
    if (comments.empty()) return;
    sectionHeading("Comments that no longer match a step");
    std::vector<Column> columns{{"Was step", 52, kGrey9, {}, {}},
                                {"Keys then", 92, {PDFFace::mono, 9, ink}, {}, {}},
                                {"Comment", textArea() - 144, kBody9, {}, {}}};
    std::vector<std::vector<std::string>> cells;
    for (const auto& c : comments) cells.push_back({stepNumber(c.step), c.keys, c.text});
    table("Comments", columns, cells);
}

} // namespace tw
