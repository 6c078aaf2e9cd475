// The program documentation as a PDF file on A4 or US Letter paper: page frame, section
// headings, tables with repeated headers, and the sections themselves.
#pragma once

#include "docexport/pdf_document_writer.h"
#include "docexport/pdf_types.h"
#include "notes/program_document_content.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tw {

class ProgramDocumentPDF {
public:
    // Never fails. Without a font set only the standard fonts are used.
    static std::vector<uint8_t> render(const ProgramDocumentContent& content, PDFPaper paper,
                                       std::shared_ptr<PDFFontSet> fonts = nullptr);

    using GlyphSource = std::function<std::optional<std::vector<KeyGlyphRun>>(size_t row)>;

    struct Column {
        std::string title;
        double width = 0;
        PDFStyle style;
        std::optional<PDFColor> fill;
        GlyphSource glyphs; // when it gives runs for a row, that cell is drawn in key glyphs
    };

    // Palette. Constants, so that styles built from them in other files at start-up never
    // see them before they are initialised.
    static constexpr PDFColor ink = PDFColor::rgb(0x1A1A1A);         // 26, 26, 26
    static constexpr PDFColor grey = PDFColor::rgb(0x6B6B6B);        // 107, 107, 107
    static constexpr PDFColor ruleGrey = PDFColor::rgb(0xC9C9C9);    // 201, 201, 201
    static constexpr PDFColor headerFill = PDFColor::rgb(0xECECEC);  // 236, 236, 236
    static constexpr PDFColor labelBand = PDFColor::rgb(0xFBF1D9);   // 251, 241, 217
    static constexpr PDFColor displayFill = PDFColor::rgb(0xDFE5D3); // 223, 229, 211
    static constexpr PDFColor accent = PDFColor::rgb(0x9A3B2A);      // 154, 59, 42
    static constexpr PDFStyle keyStyle{PDFFace::keys, 10, ink};
    static constexpr PDFStyle captionStyle{PDFFace::regular, 7, grey};

    // The state of one rendering, in points from the page's top-left corner.
    struct Renderer {
        using StyleOverride = std::function<std::optional<PDFStyle>(size_t row, size_t column)>;
        using RowBand = std::function<bool(size_t row)>;

        const ProgramDocumentContent& content;
        PDFDocumentWriter& writer;
        double W, H;
        double left = 46, right, top = 58, bottom;
        PDFPage* page = nullptr;
        double y = 0;

        Renderer(const ProgramDocumentContent& c, PDFDocumentWriter& w);

        void renderAll();
        void newPage();
        void sectionHeading(const std::string& title);
        void tableHeader(const std::vector<Column>& columns);
        void table(const std::string& title, const std::vector<Column>& columns,
                   const std::vector<std::vector<std::string>>& rows, const StyleOverride& override = {},
                   const RowBand& band = {});

        // Sections.
        void drawCover();
        void drawMemoryConfiguration();
        void drawDescription(const std::string& text);
        void drawLabels();
        void drawRegistersAndFlags();
        void drawMatrices();
        void drawListing();
        void drawOrphanedComments();

        double textArea() const { return right - left; }
        const PDFFontSet* fonts() const { return writer.fonts().get(); }
        double draw(const std::string& text, double x, double baseline, const PDFStyle& style);
        double measure(const std::string& text, const PDFStyle& style) const;
        std::vector<std::string> wrap(const std::string& text, double width, const PDFStyle& style) const;
        // The text when it is no wider than `width`, else its longest beginning (whole
        // characters) that fits followed by "…".
        std::string shortened(const std::string& text, double width, const PDFStyle& style) const;
        // Wrapped lines each on a new page when they would pass `bottom`.
        void drawWrapped(const std::string& text, double x, double width, const PDFStyle& style, double lineHeight,
                         double baseline);
    };
};

} // namespace tw
