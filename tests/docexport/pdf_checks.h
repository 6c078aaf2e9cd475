// Checks a PDF file with qpdf, poppler and fontTools, as other PDF readers would see it.
#pragma once

#include "docexport/pdf_tools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tw::test {

inline std::string asText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Every embedded font file (FontFile2 stream) of a PDF that this project wrote.
inline std::vector<std::string> embeddedFontFiles(const std::string& pdf) {
    std::vector<std::string> files;
    size_t at = 0;
    while ((at = pdf.find("/Length1 ", at)) != std::string::npos) {
        size_t length = std::stoul(pdf.substr(at + 9));
        size_t start = pdf.find("stream\n", at) + 7;
        files.push_back(pdf.substr(start, length));
        at = start + length;
    }
    return files;
}

// Runs qpdf --check, pdffonts, pdftotext and pdftoppm; returns pdffonts' and pdftotext's output.
struct PdfReport {
    std::string fonts;
    std::string text;
};

inline PdfReport checkWithTools(const std::vector<uint8_t>& pdf) {
    PdfReport report;
    if (!toolAvailable("qpdf") || !toolAvailable("pdftotext")) {
        ADD_FAILURE() << "qpdf and poppler-utils are needed";
        return report;
    }
    TempFile file("doc.pdf");
    file.write(pdf);
    auto qpdf = runTool({"qpdf", "--check", file.str()});
    EXPECT_EQ(qpdf.status, 0) << qpdf.output;
    EXPECT_NE(qpdf.output.find("No syntax or stream encoding errors found"), std::string::npos) << qpdf.output;
    auto fonts = runTool({"pdffonts", file.str()});
    EXPECT_EQ(fonts.status, 0) << fonts.output;
    report.fonts = fonts.output;
    auto text = runTool({"pdftotext", "-enc", "UTF-8", "-layout", file.str(), "-"});
    EXPECT_EQ(text.status, 0) << text.output;
    report.text = text.output;
    auto render = runTool({"pdftoppm", "-r", "30", "-png", file.str(), (file.dir / "page").string()});
    EXPECT_EQ(render.status, 0) << render.output;
    EXPECT_EQ(render.output, "") << "poppler reported problems while rendering";
    return report;
}

// fontTools reads every embedded subset, checks its checksums and tables, and every glyph
// the ToUnicode maps list, with its composite components.
inline void checkSubsetsWithFontTools(const std::string& pdf, const std::vector<std::vector<uint16_t>>& usedPerFont) {
    auto files = embeddedFontFiles(pdf);
    ASSERT_EQ(files.size(), usedPerFont.size());
    for (size_t i = 0; i < files.size(); ++i) {
        TempFile file("subset.ttf");
        file.write(files[i]);
        std::string ids;
        for (uint16_t g : usedPerFont[i]) ids += std::to_string(g) + ",";
        auto r = runTool({"/usr/bin/python3", std::string(TW_TEST_DIR) + "/check_subset.py", file.str(), ids});
        EXPECT_EQ(r.status, 0) << r.output;
    }
}

} // namespace tw::test
