// One page of the documentation PDF as content-stream operators. Callers draw in points
// from the top-left corner with y growing downward.
#pragma once

#include "docexport/pdf_font_set.h"
#include "docexport/pdf_types.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class PDFPage {
public:
    double width;
    double height;
    std::vector<std::string> ops;
    std::shared_ptr<PDFFontSet> fonts;

    PDFPage(double w, double h, std::shared_ptr<PDFFontSet> fontSet)
        : width(w), height(h), fonts(std::move(fontSet)) {}

    void fillRect(double x, double y, double w, double h, const PDFColor& color);
    void strokeLine(double x1, double y1, double x2, double y2, double lineWidth, const PDFColor& color);
    // Each returns the width drawn, in points.
    double text(std::string_view text, double x, double y, const PDFStyle& style);
    double drawGlyphs(const std::vector<PDFGlyph>& glyphs, double x, double y, const PDFStyle& style);
    double drawGlyphRun(const std::vector<KeyGlyphRun>& runs, double x, double y, const PDFStyle& style, double gap);
    // Measuring never records used glyphs.
    double glyphRunWidth(const std::vector<KeyGlyphRun>& runs, const PDFStyle& style, double gap) const;
    double textWidth(std::string_view text, const PDFStyle& style) const;
};

} // namespace tw
