// Writes a PDF 1.4 file: catalog, page tree, the five standard fonts, the embedded key and
// display font subsets, the pages with their content streams and the information dictionary.
#pragma once

#include "docexport/pdf_font_set.h"
#include "docexport/pdf_page.h"
#include "docexport/pdf_types.h"

#include <memory>
#include <string>
#include <vector>

namespace tw {

class PDFDocumentWriter {
public:
    PDFDocumentWriter(PDFPaper paper, std::shared_ptr<PDFFontSet> fonts);

    PDFPaper paper() const { return paper_; }
    const std::shared_ptr<PDFFontSet>& fonts() const { return fonts_; }
    const std::vector<std::shared_ptr<PDFPage>>& pages() const { return pages_; }

    std::string title;

    // A new page of the writer's paper, appended to the pages.
    PDFPage& newPage();
    // The complete file. Call after all drawing: it reads which embedded glyphs were used.
    std::vector<uint8_t> data() const;

private:
    PDFPaper paper_;
    std::shared_ptr<PDFFontSet> fonts_;
    std::vector<std::shared_ptr<PDFPage>> pages_;
};

} // namespace tw
