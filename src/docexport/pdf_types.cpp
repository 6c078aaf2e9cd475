#include "docexport/pdf_types.h"

namespace tw {

std::string_view rawValue(PDFPaper paper) { return paper == PDFPaper::a4 ? "a4" : "letter"; }

std::string_view displayName(PDFPaper paper) { return paper == PDFPaper::a4 ? "A4" : "US Letter"; }

PDFSize paperSize(PDFPaper paper) {
    return paper == PDFPaper::a4 ? PDFSize{595.28, 841.89} : PDFSize{612, 792};
}

std::optional<PDFPaper> paperFromRawValue(std::string_view raw) {
    for (PDFPaper p : kAllPapers)
        if (rawValue(p) == raw) return p;
    return std::nullopt;
}

std::optional<PDFFace> faceFromRawValue(int raw) {
    if (raw < 1 || raw > 7) return std::nullopt;
    return PDFFace(raw);
}

} // namespace tw
