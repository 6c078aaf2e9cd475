#include "docexport/program_document_pdf.h"

#include "docexport/pdf_numbers.h"

#include "docexport/font_builder.h"
#include "docexport/pdf_checks.h"
#include "docexport/sample_program.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

namespace tw::test {
namespace {

using Renderer = ProgramDocumentPDF::Renderer;

struct Rendered {
    std::shared_ptr<PDFFontSet> fonts;
    std::unique_ptr<PDFDocumentWriter> writer;
    std::string allOps; // every page's operators, pages separated by "\f"
};

Rendered renderPages(const ProgramDocumentContent& content, PDFPaper paper, std::shared_ptr<PDFFontSet> fonts = nullptr) {
    Rendered r;
    r.fonts = fonts ? fonts : std::make_shared<PDFFontSet>();
    r.writer = std::make_unique<PDFDocumentWriter>(paper, r.fonts);
    Renderer renderer(content, *r.writer);
    renderer.renderAll();
    for (const auto& page : r.writer->pages()) {
        for (const auto& op : page->ops) r.allOps += op + "\n";
        r.allOps += "\f";
    }
    return r;
}

// The x and y of the text matrix of the run that shows `literal`, on the given page.
std::pair<double, double> textPosition(const PDFPage& page, const std::string& literal) {
    for (const auto& op : page.ops) {
        size_t at = op.find(" " + literal + " Tj");
        if (at == std::string::npos) continue;
        size_t tm = op.rfind("1 0 0 1 ", at);
        std::istringstream in(op.substr(tm + 8));
        double x, y;
        in >> x >> y;
        return {x, y};
    }
    ADD_FAILURE() << literal << " not drawn";
    return {0, 0};
}

std::shared_ptr<PDFFontSet> dejaVuFonts() {
    return std::make_shared<PDFFontSet>(TrueTypeFont(readFile(kDejaVuSans)), TrueTypeFont(readFile(kDejaVuMono)));
}

bool haveDejaVu() { return std::filesystem::exists(kDejaVuSans) && std::filesystem::exists(kDejaVuMono); }

ProgramDocumentContent emptyContent(int model, std::optional<Pool15> pool = std::nullopt) {
    ProgramDocumentInfo info;
    info.modelName = "HP-" + std::to_string(model) + "C";
    info.model = model;
    return ProgramDocumentContent(ProgramDocument{}, info, {}, pool, {});
}

TEST(ProgramDocumentPDF, EmptyProgramOnOnePage) {
    for (PDFPaper paper : kAllPapers) {
        auto r = renderPages(emptyContent(16), paper);
        ASSERT_EQ(r.writer->pages().size(), 1u);
        const PDFPage& page = *r.writer->pages()[0];
        double H = page.height;
        EXPECT_NE(r.allOps.find("(Untitled program)"), std::string::npos);
        EXPECT_NE(r.allOps.find("(Program listing)"), std::string::npos);
        EXPECT_NE(r.allOps.find("(The calculator holds no program.)"), std::string::npos);
        // Model, Steps, Labels and Date only: the box is 15 x 4 + 8 high.
        EXPECT_NE(page.ops[2].find(" 68.00 re f"), std::string::npos) << page.ops[2];
        EXPECT_EQ(r.allOps.find("(Firmware)"), std::string::npos);
        EXPECT_EQ(r.allOps.find("(Author)"), std::string::npos);
        EXPECT_EQ(r.allOps.find("(Defined at)"), std::string::npos);
        EXPECT_EQ(r.allOps.find("(Memory configuration)"), std::string::npos);
        EXPECT_EQ(r.allOps.find("(Description)"), std::string::npos);
        // Footer centred on H - 26, header rule 38 points below the top edge.
        auto [fx, fy] = textPosition(page, "(Page 1 of 1)");
        EXPECT_NEAR(fy, 26, 0.005);
        EXPECT_NEAR(fx, (page.width - PDFFontSet::width("Page 1 of 1", {PDFFace::regular, 8, {}}, nullptr)) / 2, 0.005);
        EXPECT_NE(r.allOps.find("0.79 0.79 0.79 RG 0.50 w 46.00 " + pdfnum::fixed2(H - 38) + " m " +
                                pdfnum::fixed2(page.width - 46) + " " + pdfnum::fixed2(H - 38) + " l S"),
                  std::string::npos);
        auto [tx, ty] = textPosition(page, "(HP-16C program documentation)");
        EXPECT_NEAR(tx + PDFFontSet::width("HP-16C program documentation", {PDFFace::regular, 8, {}}, nullptr),
                    page.width - 46, 0.01);
        EXPECT_NEAR(ty, H - 32, 0.005);
        auto bytes = ProgramDocumentPDF::render(emptyContent(16), paper);
        auto report = checkWithTools(bytes);
        EXPECT_NE(report.text.find("Untitled program"), std::string::npos);
        EXPECT_NE(report.text.find("Page 1 of 1"), std::string::npos);
    }
}

TEST(ProgramDocumentPDF, CoverFactsAndMemoryConfiguration) {
    auto content = hp15cContent(12);
    auto r = renderPages(content, PDFPaper::a4);
    const PDFPage& page = *r.writer->pages()[0];
    // Seven facts: the box is 15 x 7 + 8 high, from y0 + 58 - 4.
    EXPECT_NE(page.ops[2].find("0.96 0.96 0.95 rg 46.00 " + pdfnum::fixed2(841.89 - 112 - 113) + " 503.28 113.00 re f"),
              std::string::npos)
        << page.ops[2];
    for (const char* label : {"(Model)", "(Firmware)", "(Memory file)", "(Steps)", "(Labels)", "(Date)", "(Author)",
                              "(Memory configuration)", "(DIM \\(i\\))", "(Description)", "(Purpose)"})
        EXPECT_NE(r.allOps.find(label), std::string::npos) << label;
    // Both matrices form one legend entry in matrix A's colour.
    EXPECT_NE(r.allOps.find("(matrices 7)"), std::string::npos);
    EXPECT_NE(r.allOps.find("0.89 0.64 0.23 rg"), std::string::npos);
    EXPECT_EQ(r.allOps.find("(matrices 4)"), std::string::npos);
    // The Labels fact counts labels that are defined.
    auto [lx, ly] = textPosition(page, "(Labels)");
    (void)lx;
    auto [vx, vy] = textPosition(page, "(1)");
    EXPECT_EQ(vx, 138);
    EXPECT_NEAR(vy, ly, 0.005);
}

TEST(ProgramDocumentPDF, WithoutPoolNoMemoryConfiguration) {
    auto r = renderPages(emptyContent(12, Pool15{}), PDFPaper::letter);
    EXPECT_EQ(r.allOps.find("(Memory configuration)"), std::string::npos);
}

TEST(ProgramDocumentPDF, DescriptionMarkUp) {
    ProgramDocumentInfo info;
    info.modelName = "HP-16C";
    info.model = 16;
    ProgramDocument doc;
    doc.description = "##Heading\n# Heading\n-plain\n   - bullet\n\n\n• dot";
    ProgramDocumentContent content(doc, info, {}, std::nullopt, {});
    PDFDocumentWriter writer(PDFPaper::a4, nullptr);
    Renderer r(content, writer);
    r.newPage();
    double start = r.y;
    r.drawDescription(doc.description);
    // Two headings of 6 + 14, a plain line and two bullets of 13, two empty lines of 6.
    EXPECT_DOUBLE_EQ(r.y - start, 2 * 20 + 3 * 13 + 12);
    const PDFPage& page = *writer.pages()[0];
    int headings = 0;
    for (const auto& op : page.ops) headings += op.find("/F2 10.50 Tf") != std::string::npos && op.find("(Heading)") != std::string::npos;
    EXPECT_EQ(headings, 2);
    EXPECT_EQ(textPosition(page, "(-plain)").first, 46);
    EXPECT_EQ(textPosition(page, "(bullet)").first, 60);
    EXPECT_EQ(textPosition(page, "(dot)").first, 60);
    EXPECT_NEAR(textPosition(page, "(bullet)").second, textPosition(page, "(\\225)").second, 0.001);
}

TEST(ProgramDocumentPDF, HP12CTablesUseLinesAndTextKeys) {
    ProgramDocumentInfo info;
    info.modelName = "HP-12C";
    info.model = 12;
    std::vector<ProgramLine> lines;
    for (int i = 1; i <= 80; ++i) lines.push_back(programStep(i, i % 5 ? "20" : "43,33,01", i % 5 ? "×" : "GTO 01"));
    ProgramDocumentContent content(ProgramDocument{}, info, lines, std::nullopt, {});
    auto r = renderPages(content, PDFPaper::letter);
    EXPECT_NE(r.allOps.find("(Branch targets)"), std::string::npos);
    EXPECT_NE(r.allOps.find("(Line)"), std::string::npos);
    const PDFPage& first = *r.writer->pages()[0];
    EXPECT_EQ(textPosition(first, "(Keys)").first, 46 + 34 + 82 + 4);
    EXPECT_EQ(textPosition(first, "(Comment)").first, 46 + 34 + 82 + 104 + 4);
    ASSERT_GE(r.writer->pages().size(), 2u);
    const PDFPage& second = *r.writer->pages()[1];
    // A continuation page: title at top + 9, header band from top + 14, rows from top + 29.
    EXPECT_NEAR(textPosition(second, "(Program listing \\(continued\\))").second, 792 - 67, 0.005);
    EXPECT_NE(second.ops[1].find("0.93 0.93 0.93 rg 46.00 " + pdfnum::fixed2(792 - 72 - 15) + " 520.00 15.00 re f"),
              std::string::npos)
        << second.ops[1];
    EXPECT_NE(r.allOps.find("(Page 2 of "), std::string::npos);
    checkWithTools(ProgramDocumentPDF::render(content, PDFPaper::letter));
}

TEST(ProgramDocumentPDF, TableRowsBreakExactlyAtTheBottom) {
    ProgramDocumentInfo info;
    info.modelName = "HP-16C";
    info.model = 16;
    ProgramDocumentContent content(ProgramDocument{}, info, {programStep(1, "20", "×")}, std::nullopt, {});
    for (double extra : {0.0, 1.0}) {
        PDFDocumentWriter writer(PDFPaper::letter, nullptr); // bottom 744: exact in binary
        Renderer r(content, writer);
        r.newPage();
        std::vector<ProgramDocumentPDF::Column> columns{{"A", 100, {PDFFace::regular, 9, {}}, {}, {}}};
        r.y = r.bottom - 15 - 2 * 14.5 + extra; // the second row ends exactly at the bottom, or one point below
        r.table("T", columns, {{"x"}, {"y"}});
        EXPECT_EQ(writer.pages().size(), extra == 0 ? 1u : 2u);
    }
}

TEST(ProgramDocumentPDF, SectionHeadingNearTheBottomStartsANewPage) {
    auto content = emptyContent(16);
    PDFDocumentWriter writer(PDFPaper::a4, nullptr);
    Renderer r(content, writer);
    r.newPage();
    r.y = r.bottom - 90;
    r.sectionHeading("Fits");
    EXPECT_DOUBLE_EQ(r.y, r.bottom - 90 + 16 + 27);
    r.y = r.bottom - 89;
    r.sectionHeading("Moves");
    EXPECT_EQ(writer.pages().size(), 2u);
    EXPECT_DOUBLE_EQ(r.y, r.top + 27);
}

TEST(ProgramDocumentPDF, OrphanedCommentsAndFlagsOnly) {
    ProgramDocumentInfo info;
    info.modelName = "HP-15C";
    info.model = 15;
    ProgramDocument doc;
    doc.comments.push_back(StepComment{7, "gone", "45 3", {}, {}, true});
    ProgramDocumentContent content(doc, info, {programStep(1, "43, 4, 3", "SF 3", "g"), programStep(2, "32  9", "GSB 9")},
                                   std::nullopt, {});
    auto r = renderPages(content, PDFPaper::a4);
    EXPECT_NE(r.allOps.find("BT 0.60 0.23 0.16 rg /F1 9.00 Tf 1 0 0 1 114.00 "), std::string::npos); // "not defined"
    EXPECT_NE(r.allOps.find("(not defined)"), std::string::npos);
    EXPECT_EQ(r.allOps.find("(Registers)"), std::string::npos);
    EXPECT_NE(r.allOps.find("(Registers and flags)"), std::string::npos);
    EXPECT_NE(r.allOps.find("(Comments that no longer match a step)"), std::string::npos);
    EXPECT_NE(r.allOps.find("(007)"), std::string::npos);
    EXPECT_NE(r.allOps.find("/F3 9.00 Tf"), std::string::npos); // "Keys then" in Courier
    // Cell styles of other files take the palette's colours, not black.
    EXPECT_NE(r.allOps.find("BT 0.42 0.42 0.42 rg /F1 9.00 Tf 1 0 0 1 50.00 "), std::string::npos); // "Was step"
    EXPECT_NE(r.allOps.find("BT 0.10 0.10 0.10 rg /F1 9.00 Tf 1 0 0 1 194.00 "), std::string::npos); // "Comment"
}

// The palette is fixed when the program is built, so styles made from it anywhere at start-up
// see its colours whatever order the files are initialised in.
static_assert(ProgramDocumentPDF::ink == PDFColor(26 / 255.0, 26 / 255.0, 26 / 255.0));
static_assert(ProgramDocumentPDF::keyStyle.color == ProgramDocumentPDF::ink);
static_assert(ProgramDocumentPDF::captionStyle.color == ProgramDocumentPDF::grey);

TEST(ProgramDocumentPDF, KeyGlyphsAndDisplayFontWhenEmbedded) {
    if (!haveDejaVu()) GTEST_SKIP();
    auto content = hp15cContent(400);
    auto fonts = dejaVuFonts();
    auto r = renderPages(content, PDFPaper::a4, fonts);
    const PDFPage& first = *r.writer->pages()[0];
    (void)first;
    EXPECT_FALSE(fonts->used[PDFFace::keys].empty());
    EXPECT_FALSE(fonts->used[PDFFace::display].empty());
    EXPECT_NE(r.allOps.find("/F7 11.00 Tf"), std::string::npos);
    EXPECT_NE(r.allOps.find("/F6 10.00 Tf"), std::string::npos);
    EXPECT_NE(r.allOps.find("(Program listing \\(continued\\))"), std::string::npos);
    // The Comment column starts after Step 34, Display 92 and Keys 150.
    bool commentAt326 = false;
    for (const auto& page : r.writer->pages())
        for (const auto& op : page->ops) commentAt326 |= op.find("Tm (Comment) Tj") != std::string::npos &&
                                                          op.find("1 0 0 1 326.00") != std::string::npos;
    EXPECT_TRUE(commentAt326);

    std::vector<uint8_t> bytes = r.writer->data();
    auto report = checkWithTools(bytes);
    EXPECT_TRUE(std::regex_search(report.fonts, std::regex("TWKEYS\\+DejaVuSans +CID TrueType +Identity-H +yes +yes +yes")));
    EXPECT_TRUE(std::regex_search(report.fonts, std::regex("TWDISP\\+DejaVuSansMono +CID TrueType +Identity-H +yes +yes +yes")));
    for (const char* font : {"Helvetica ", "Helvetica-Bold", "Courier-Bold"})
        EXPECT_NE(report.fonts.find(font), std::string::npos) << font;
    EXPECT_NE(report.text.find("Loan payments"), std::string::npos);
    EXPECT_NE(report.text.find("store the intermediate"), std::string::npos);
    EXPECT_NE(report.text.find("400-"), std::string::npos);

    std::vector<std::vector<uint16_t>> used;
    for (PDFFace face : {PDFFace::keys, PDFFace::display}) {
        used.emplace_back();
        for (const auto& [id, text] : fonts->used.at(face))
            if (fonts->embedded.at(face).hasOutline(id)) used.back().push_back(id);
    }
    checkSubsetsWithFontTools(asText(bytes), used);
}

TEST(ProgramDocumentPDF, WithoutTheKeyFontKeysAreText) {
    auto content = hp15cContent(10);
    auto r = renderPages(content, PDFPaper::a4);
    EXPECT_EQ(r.allOps.find("/F6"), std::string::npos);
    EXPECT_NE(r.allOps.find("(f LBL A)"), std::string::npos);
    EXPECT_NE(r.allOps.find("/F4 9.00 Tf"), std::string::npos); // Display in Courier-Bold
}

TEST(ProgramDocumentPDF, CaptionUnderGlyphsWhenItDoesNotFitBeside) {
    if (!haveDejaVu()) GTEST_SKIP();
    auto content = emptyContent(15);
    PDFDocumentWriter writer(PDFPaper::a4, dejaVuFonts());
    Renderer r(content, writer);
    r.newPage();
    ProgramDocumentPDF::Column narrow{"Keys", 40, {PDFFace::regular, 9, {}}, {}, [](size_t) {
        return std::optional<std::vector<KeyGlyphRun>>({{"\u00A4", "STO"}, {"1", "1"}});
    }};
    double start = r.y;
    r.table("T", {narrow}, {{"STO 1"}});
    EXPECT_DOUBLE_EQ(r.y - start, 15 + 23);
    auto [cx, cy] = textPosition(*writer.pages()[0], "(STO 1)");
    EXPECT_EQ(cx, 50);
    EXPECT_NEAR(cy, 841.89 - (start + 15 + 20), 0.005);
}

ProgramDocumentContent titled(const std::string& title, const std::string& description = {}) {
    ProgramDocument doc;
    doc.title = title;
    doc.description = description;
    ProgramDocumentInfo info;
    info.modelName = "HP-16C";
    info.model = 16;
    return ProgramDocumentContent(doc, info, {}, std::nullopt, {});
}

// Distinct words, "w1 w2 …", adding up to at least `length` characters.
std::string numberedWords(const std::string& prefix, size_t length) {
    std::string text;
    for (int n = 1; text.size() < length; ++n) text += (text.empty() ? "" : " ") + prefix + std::to_string(n);
    return text;
}

// Whatever is drawn above the footer's band stays there: every text other than the
// page number has its baseline at or above `bottom`, and every fill and rule ends there.
void expectNothingOverTheFooter(const PDFPage& page, double bottom) {
    const double lowest = page.height - bottom - 0.005; // in the PDF's bottom-up terms
    static const std::regex textAt(R"(1 0 0 1 (-?[\d.]+) (-?[\d.]+) Tm (\(Page )?)");
    static const std::regex rect(R"(rg (-?[\d.]+) (-?[\d.]+) (-?[\d.]+) (-?[\d.]+) re f)");
    static const std::regex rule(R"(w (-?[\d.]+) (-?[\d.]+) m (-?[\d.]+) (-?[\d.]+) l S)");
    for (const std::string& op : page.ops) {
        for (std::sregex_iterator m(op.begin(), op.end(), textAt), end; m != end; ++m) {
            if (!(*m)[3].matched) {
                EXPECT_GE(std::stod((*m)[2]), lowest) << op.substr(0, 200);
            }
        }
        for (std::sregex_iterator m(op.begin(), op.end(), rect), end; m != end; ++m)
            EXPECT_GE(std::stod((*m)[2]), lowest) << op;
        for (std::sregex_iterator m(op.begin(), op.end(), rule), end; m != end; ++m)
            EXPECT_GE(std::stod((*m)[2]), lowest) << op;
    }
}

// Step comments of 5,000 and 40,000 characters, in the listing and among the comments
// that no longer match a step: each is read whole, its rows continuing from page to
// page under the table's header, and nothing runs into the footer.
TEST(ProgramDocumentPDF, ARowTallerThanThePageContinuesOnTheNextPages) {
    auto lines = hp15cProgram(12);
    ProgramDocument doc;
    doc.title = "Long comments";
    const std::string medium = numberedWords("m", 5'000), longest = numberedWords("x", 40'000);
    ASSERT_EQ(doc.setComment(medium, 3, lines), ProgramDocument::CommentChange::stored);
    ASSERT_EQ(doc.setComment(longest, 5, lines), ProgramDocument::CommentChange::stored);
    ASSERT_EQ(doc.setComment("short one", 6, lines), ProgramDocument::CommentChange::stored);
    doc.comments.push_back(StepComment{40, numberedWords("o", 5'000), "45 3", {}, {}, true});
    ProgramDocumentInfo info;
    info.modelName = "HP-15C";
    info.model = 15;
    const ProgramDocumentContent content(doc, info, lines, std::nullopt, {});

    for (PDFPaper paper : kAllPapers) {
        auto r = renderPages(content, paper);
        const double bottom = paperSize(paper).height - 48;
        size_t continued = 0;
        for (const auto& page : r.writer->pages()) {
            expectNothingOverTheFooter(*page, bottom);
            for (const auto& op : page->ops)
                if (op.find("(Program listing \\(continued\\))") != std::string::npos) ++continued;
        }
        EXPECT_GE(continued, 5u); // the 40,000 characters fill several pages

        auto report = checkWithTools(ProgramDocumentPDF::render(content, paper));
        std::set<std::string> words;
        std::istringstream in(report.text);
        for (std::string word; in >> word;) words.insert(word);
        for (const std::string* text : {&medium, &longest}) {
            std::istringstream expected(*text);
            size_t missing = 0;
            for (std::string word; expected >> word;) missing += !words.count(word);
            EXPECT_EQ(missing, 0u) << text->substr(0, 20);
        }
        EXPECT_TRUE(words.count("o1") && words.count("o" + std::to_string(5'000 / 6)));
        EXPECT_TRUE(words.count("short"));
    }
}

// The literal of the page header's title, drawn at the left edge on baseline 32.
std::string headerTitle(const PDFPage& page) {
    const std::string at = "1 0 0 1 46.00 " + pdfnum::fixed2(page.height - 32) + " Tm (";
    for (const auto& op : page.ops) {
        const size_t start = op.find(at);
        if (start == std::string::npos) continue;
        const size_t from = start + at.size();
        return op.substr(from, op.find(") Tj", from) - from);
    }
    ADD_FAILURE() << "no header title";
    return {};
}

// The header's title ends before the model text right-aligned beside it: a long one
// is cut with "…" on whole characters, a short one drawn as it is.
TEST(ProgramDocumentPDF, TheHeaderTitleStopsBeforeTheTextBesideIt) {
    const PDFStyle bold{PDFFace::bold, 8.5, {}};
    for (PDFPaper paper : kAllPapers) {
        auto fitting = renderPages(titled("Loan payments"), paper);
        EXPECT_EQ(headerTitle(*fitting.writer->pages()[0]), "Loan payments");

        auto cut = renderPages(titled(std::string(400, 'W')), paper);
        const PDFPage& page = *cut.writer->pages()[0];
        const std::string shown = headerTitle(page);
        ASSERT_TRUE(shown.ends_with("\\205")) << shown; // "…" in WinAnsi
        const std::string kept = shown.substr(0, shown.size() - 4);
        EXPECT_EQ(kept, std::string(kept.size(), 'W'));
        const double beside = textPosition(page, "(HP-16C program documentation)").first;
        // It ends the header's 12-point gap before the model text, and keeps as much as fits.
        EXPECT_LE(46 + PDFFontSet::width(kept + "\u2026", bold, nullptr), beside - 12);
        EXPECT_GT(46 + PDFFontSet::width(kept + "W\u2026", bold, nullptr), beside - 12);
    }

    // Marks drawn over their letter, letters built from a letter and a mark, and
    // characters built from several glyphs are measured as they are drawn.
    auto content = titled("T");
    PDFDocumentWriter writer(PDFPaper::a4, std::make_shared<PDFFontSet>());
    Renderer r(content, writer);
    std::string marks = "Loan", built, symbols;
    for (int n = 0; n < 200; ++n) {
        marks += "i\u0302\u0304";
        built += "\u0108\u0100\u1E3F";
        symbols += "x\u2277\u207B\u02E3\t";
    }
    for (const std::string& title : {marks, built, symbols}) {
        const std::string shown = r.shortened(title, 300, bold);
        EXPECT_LE(PDFFontSet::width(shown, bold, nullptr), 300);
        EXPECT_GT(PDFFontSet::width(shown, bold, nullptr), 280); // no glyph is 20 points wide
        EXPECT_TRUE(shown.ends_with("\u2026"));
        EXPECT_TRUE(title.starts_with(shown.substr(0, shown.size() - 3)));
    }
}

// Numbered lines of text adding up to at least `bytes`: some 56 pages per 200 000.
std::string longDescription(size_t bytes) {
    std::string description;
    for (int line = 0; description.size() < bytes; ++line)
        description += "Line " + std::to_string(line) + " of a very long description that fills page after page.\n";
    return description;
}

// A title of marks that take no width is cut all the same: what fits beside the model
// text is no bound for it, so the header stays small on every page.
TEST(ProgramDocumentPDF, AHeaderTitleOfMarksAloneStaysSmall) {
    const std::string description = longDescription(200'000);
    std::string title;
    for (int n = 0; n < 8'000; ++n) title += "\u0302";
    auto r = renderPages(titled(title, description), PDFPaper::a4);
    ASSERT_GT(r.writer->pages().size(), 40u);
    for (const auto& page : r.writer->pages()) {
        size_t header = 0; // the bytes drawn on the header's baseline
        const std::string baseline = " " + pdfnum::fixed2(page->height - 32) + " Tm ";
        for (const auto& op : page->ops)
            if (op.find(baseline) != std::string::npos) header += op.size();
        EXPECT_LT(header, 30'000u);
    }
}

// The CPU time this thread has used: what a render costs it, however many other
// programs share the machine.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct TimedPDF {
    std::vector<uint8_t> file;
    double seconds = 0; // of this thread's CPU time
};

TimedPDF timedRender(const ProgramDocumentContent& content) {
    const double start = threadSeconds();
    TimedPDF pdf{ProgramDocumentPDF::render(content, PDFPaper::a4)};
    pdf.seconds = threadSeconds() - start;
    return pdf;
}

// A notes file with a huge title and a long description: the file and the time it
// takes grow with what is in it, not with its pages times its title. What the title
// adds to the time is compared with what it adds to a one-page document, the one
// measure that a title handled on every page (drawn, or only cut to fit) multiplies
// by the pages; in CPU time, so that a slow or busy machine changes neither side.
TEST(ProgramDocumentPDF, AHugeTitleIsNotRepeatedOnEveryPage) {
    const std::string description = longDescription(400'000);
    const std::string title(512 * 1024, 'T');

    const TimedPDF huge = timedRender(titled(title, description));
    const TimedPDF plain = timedRender(titled("T", description));
    const TimedPDF onePage = timedRender(titled(title));
    const TimedPDF onePagePlain = timedRender(titled("T"));

    const std::string hugeText = asText(huge.file);
    size_t pages = 0;
    for (size_t at = 0; (at = hugeText.find("/Type /Page /", at)) != std::string::npos; ++at) ++pages;
    ASSERT_GT(pages, 100u);
    // The cover and the document information hold the title once each.
    EXPECT_LT(huge.file.size(), plain.file.size() + 4 * title.size());
    const double onEveryPage = huge.seconds - plain.seconds;
    const double once = onePage.seconds - onePagePlain.seconds;
    EXPECT_LT(onEveryPage, 3 * once) << "the title took " << onEveryPage << " s of CPU on " << pages
                                     << " pages and " << once << " s on one";
}

} // namespace
} // namespace tw::test
