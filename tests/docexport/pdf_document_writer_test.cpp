#include "docexport/pdf_document_writer.h"

#include "docexport/font_builder.h"
#include "docexport/pdf_checks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <locale>
#include <regex>

namespace tw::test {
namespace {

// Every cross-reference entry points at its object's header line, and startxref at "xref".
void expectConsistentXref(const std::string& pdf, int objects) {
    size_t xref = pdf.rfind("\nxref\n") + 1;
    size_t start = std::stoul(pdf.substr(pdf.rfind("startxref\n") + 10));
    EXPECT_EQ(start, xref);
    EXPECT_EQ(pdf.substr(xref, 5 + std::to_string(objects + 1).size() + 3),
              "xref\n0 " + std::to_string(objects + 1) + "\n");
    size_t entries = pdf.find("0000000000 65535 f \n", xref) + 20;
    for (int k = 1; k <= objects; ++k) {
        std::string entry = pdf.substr(entries + 20 * size_t(k - 1), 20);
        ASSERT_EQ(entry.substr(10), " 00000 n \n");
        size_t offset = std::stoul(entry.substr(0, 10));
        EXPECT_EQ(pdf.substr(offset, std::to_string(k).size() + 7), std::to_string(k) + " 0 obj\n") << k;
    }
    EXPECT_EQ(pdf.substr(entries + 20 * size_t(objects), 8), "trailer\n");
}

TEST(PDFDocumentWriter, EmptyDocument) {
    PDFDocumentWriter writer(PDFPaper::a4, nullptr);
    std::string pdf = asText(writer.data());
    EXPECT_EQ(pdf.substr(0, 19), "%PDF-1.4\n%\xC3\xA2\xC3\xA3\xC3\x8F\xC3\x93\n");
    EXPECT_NE(pdf.find("1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"), std::string::npos);
    EXPECT_NE(pdf.find("2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n"), std::string::npos);
    EXPECT_NE(pdf.find("3 0 obj\n<< /Type /Font /Subtype /Type1 /Name /F1 /BaseFont /Helvetica "
                       "/Encoding /WinAnsiEncoding >>\nendobj\n"),
              std::string::npos);
    EXPECT_NE(pdf.find("7 0 obj\n<< /Type /Font /Subtype /Type1 /Name /F5 /BaseFont /Symbol >>\nendobj\n"),
              std::string::npos);
    EXPECT_NE(pdf.find("8 0 obj\n<< /Title () >>\nendobj\n"), std::string::npos);
    EXPECT_NE(pdf.find("trailer\n<< /Size 9 /Root 1 0 R /Info 8 0 R >>\nstartxref\n"), std::string::npos);
    EXPECT_EQ(pdf.substr(pdf.size() - 7), "\n%%EOF\n");
    expectConsistentXref(pdf, 8);
}

TEST(PDFDocumentWriter, PagesTitleAndMediaBoxes) {
    for (PDFPaper paper : kAllPapers) {
        PDFDocumentWriter writer(paper, nullptr);
        writer.title = "a(b é";
        writer.newPage().text("Hello", 46, 100, {});
        writer.newPage();
        std::string pdf = asText(writer.data());
        std::string box = paper == PDFPaper::a4 ? "[0 0 595.28 841.89]" : "[0 0 612.00 792.00]";
        EXPECT_NE(pdf.find("8 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox " + box +
                           " /Resources << /Font << /F1 3 0 R /F2 4 0 R /F3 5 0 R /F4 6 0 R /F5 7 0 R >> >>"
                           " /Contents 9 0 R >>"),
                  std::string::npos);
        EXPECT_NE(pdf.find("<< /Type /Pages /Kids [8 0 R 10 0 R] /Count 2 >>"), std::string::npos);
        EXPECT_NE(pdf.find("11 0 obj\n<<  /Length 0 >>\nstream\n\nendstream\nendobj\n"), std::string::npos);
        EXPECT_NE(pdf.find("<< /Title <FEFF006100280062002000E9> >>"), std::string::npos);
        EXPECT_NE(pdf.find("/Size 13 "), std::string::npos);
        expectConsistentXref(pdf, 12);
        auto report = checkWithTools(writer.data());
        EXPECT_NE(report.text.find("Hello"), std::string::npos);
        EXPECT_NE(report.fonts.find("Helvetica"), std::string::npos);
    }
}

// Readers decode the title as PDFDocEncoding unless it is UTF-16BE with a byte-order mark: a
// title beyond ASCII must read back as written, and ASCII ones stay plain literal strings.
TEST(PDFDocumentWriter, TitleReadsBackInDocumentViewers) {
    if (!toolAvailable("pdfinfo")) {
        ADD_FAILURE() << "poppler-utils (pdfinfo) is needed";
        return;
    }
    const std::string titles[] = {"\u201cLoan\u201d \u2013 v2\u2026 5 \u20ac \u2014 \u03c0 \u2264 \u221a2",
                                  "Amortization (v2) \\ 100%", "Emoji \U0001F600 and \u00e9t\u00e9", "a(b"};
    for (const std::string& title : titles) {
        PDFDocumentWriter writer(PDFPaper::a4, nullptr);
        writer.title = title;
        writer.newPage();
        auto bytes = writer.data();
        TempFile file("title.pdf");
        file.write(bytes);
        auto info = runTool({"pdfinfo", "-enc", "UTF-8", file.str()});
        ASSERT_EQ(info.status, 0) << info.output;
        EXPECT_NE(info.output.find("Title:           " + title + "\n"), std::string::npos) << info.output;
    }
    std::string ascii = asText([] {
        PDFDocumentWriter writer(PDFPaper::a4, nullptr);
        writer.title = "Loan (v2) \\ 5%";
        return writer.data();
    }());
    EXPECT_NE(ascii.find("<< /Title (Loan \\(v2\\) \\\\ 5%) >>"), std::string::npos);
}

TEST(PDFDocumentWriter, MeasuredButUndrawnFontsAreNotWritten) {
    FontBuilder b;
    auto fonts = std::make_shared<PDFFontSet>(b.font(), b.font());
    PDFDocumentWriter writer(PDFPaper::a4, fonts);
    writer.newPage().textWidth("A", {PDFFace::keys, 10, {}});
    std::string pdf = asText(writer.data());
    EXPECT_EQ(pdf.find("/F6"), std::string::npos);
    EXPECT_EQ(pdf.find("/F7"), std::string::npos);
    EXPECT_NE(pdf.find("/Size 11 "), std::string::npos); // 8 + 2 per page
}

TEST(PDFDocumentWriter, EmbeddedFaceObjects) {
    FontBuilder b;
    b.unitsPerEm = 2048;
    for (int i = 0; i < 300; ++i) b.addGlyph(simpleGlyph(), 1000 + i);
    b.extra["name"] = nameTable({}); // a name table without names: empty PostScript name
    auto fonts = std::make_shared<PDFFontSet>(b.font(), std::nullopt);
    PDFDocumentWriter writer(PDFPaper::letter, fonts);
    PDFPage& page = writer.newPage();
    std::vector<PDFGlyph> glyphs;
    for (uint16_t g = 1; g <= 250; ++g) glyphs.push_back({PDFFace::keys, g, 1, 0, false, 500, "k"});
    glyphs[0].text = "";
    glyphs[1].text = "😀";
    glyphs.push_back({PDFFace::keys, 1, 1, 0, false, 500, "other"}); // the first text stays
    glyphs.push_back({PDFFace::keys, 400, 1, 0, false, 0, "x"});     // beyond the advances
    page.drawGlyphs(glyphs, 0, 0, {PDFFace::keys, 10, {}});
    std::string pdf = asText(writer.data());

    EXPECT_NE(pdf.find("<< /Type /Font /Subtype /Type0 /BaseFont /TWKEYS+Font6 /Encoding /Identity-H "
                       "/DescendantFonts [10 0 R] /ToUnicode 11 0 R >>"),
              std::string::npos);
    EXPECT_NE(pdf.find("/F6 12 0 R"), std::string::npos);
    // bbox -50 -200 900 800 and ascent 800, descent -200 at 2048 units, truncated toward zero.
    EXPECT_NE(pdf.find("<< /Type /FontDescriptor /FontName /TWKEYS+Font6 /Flags 4 /FontBBox [-24 -97 439 390] "
                       "/ItalicAngle 0 /Ascent 390 /Descent -97 /CapHeight 390 /StemV 80 /FontFile2 8 0 R >>"),
              std::string::npos);
    // Widths rounded half away from zero: glyph 1 is 1000 units = 488.28; glyph 3 1002 = 489.26.
    EXPECT_NE(pdf.find("/W [1 [488] 2 [489] 3 [489] 4 [490]"), std::string::npos);
    EXPECT_NE(pdf.find("250 [610] 400 [0]] /CIDToGIDMap /Identity >>"), std::string::npos);
    EXPECT_NE(pdf.find("/Length1 "), std::string::npos);

    std::regex blocks("(\\d+) beginbfchar\n");
    std::vector<std::string> counts;
    for (std::sregex_iterator it(pdf.begin(), pdf.end(), blocks), end; it != end; ++it) counts.push_back((*it)[1]);
    EXPECT_EQ(counts, (std::vector<std::string>{"100", "100", "51"}));
    EXPECT_NE(pdf.find("<0001> <0020>\n<0002> <D83DDE00>\n<0003> <006B>\n"), std::string::npos);
    EXPECT_NE(pdf.find("<0190> <0078>\nendbfchar\nendcmap CMapName currentdict /CMap defineresource pop end end\n"
                       "endstream"),
              std::string::npos);
    EXPECT_NE(pdf.find("/Size 16 "), std::string::npos); // 8 + 5 + 2
    expectConsistentXref(pdf, 15);
    checkWithTools(writer.data());
}

// Real fonts: both faces embedded, read back by qpdf, poppler and fontTools.
TEST(PDFDocumentWriter, RealFontsPassTheOutsideReaders) {
    if (!std::filesystem::exists(kDejaVuSans) || !std::filesystem::exists(kDejaVuMono)) GTEST_SKIP();
    auto fonts = std::make_shared<PDFFontSet>(TrueTypeFont(readFile(kDejaVuSans)), TrueTypeFont(readFile(kDejaVuMono)));
    PDFDocumentWriter writer(PDFPaper::a4, fonts);
    writer.title = "Loan ∑ test";
    PDFPage& page = writer.newPage();
    page.text("Keys Ǻ¤", 46, 100, {PDFFace::keys, 10, {}});
    page.text("001-  42 21 11", 46, 130, {PDFFace::display, 11, {}});
    page.text("Plain π ≤ x̄", 46, 160, {});
    std::vector<uint8_t> bytes = writer.data();
    auto report = checkWithTools(bytes);
    std::regex embedded("TWKEYS\\+DejaVuSans +CID TrueType +Identity-H +yes +yes +yes");
    EXPECT_TRUE(std::regex_search(report.fonts, embedded)) << report.fonts;
    EXPECT_TRUE(std::regex_search(report.fonts, std::regex("TWDISP\\+DejaVuSansMono +CID TrueType +Identity-H +yes +yes +yes")))
        << report.fonts;
    EXPECT_TRUE(std::regex_search(report.fonts, std::regex("Helvetica +Type 1 +WinAnsi +no +no +no"))) << report.fonts;
    EXPECT_NE(report.text.find("Keys Ǻ¤"), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("42 21 11"), std::string::npos) << report.text;
    EXPECT_NE(report.text.find("Plain"), std::string::npos) << report.text;

    std::vector<std::vector<uint16_t>> used;
    for (PDFFace face : {PDFFace::keys, PDFFace::display}) {
        used.emplace_back();
        for (const auto& [id, text] : fonts->used.at(face))
            if (fonts->embedded.at(face).hasOutline(id)) used.back().push_back(id); // not the blank
    }
    checkSubsetsWithFontTools(asText(bytes), used);
}

// Numbers in content streams keep their decimal point whatever the global locale says.
TEST(PDFDocumentWriter, NumbersIgnoreTheLocale) {
    struct CommaDecimal : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    PDFDocumentWriter writer(PDFPaper::a4, nullptr);
    writer.newPage().strokeLine(46, 100, 549.5, 100, 0.5, PDFColor::black());
    std::string pdf = asText(writer.data());
    std::locale::global(previous);
    EXPECT_NE(pdf.find("0.00 0.00 0.00 RG 0.50 w 46.00 741.89 m 549.50 741.89 l S"), std::string::npos);
    EXPECT_NE(pdf.find("[0 0 595.28 841.89]"), std::string::npos);
}

} // namespace
} // namespace tw::test
