// The program documentation as PDF and as text, and the documentation fonts.
#include "app/app_model.h"

namespace tw {

void AppModel::exportDocumentation() {}

void AppModel::exportListing(const std::optional<InspectorSnapshot>&) {}

ProgramDocumentContent AppModel::documentationContent(const InspectorSnapshot& inspection) const {
    return ProgramDocumentContent(programDoc_, ProgramDocumentInfo{}, inspection.program, inspection.pool,
                                  inspection.setFlags());
}

void AppModel::renderDocumentation(const InspectorSnapshot&, PDFPaper) {}

void AppModel::renderDocumentationPDF(const ProgramDocumentContent&, const DocFonts&, PDFPaper, const QString&) {}

void AppModel::offerPDFExport(const QString&, std::vector<uint8_t>) {}

void AppModel::loadDocFonts() {}

void AppModel::useDocFonts(const FileResult&) {}

} // namespace tw
