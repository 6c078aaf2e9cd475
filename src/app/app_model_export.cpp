// The program documentation as PDF and as text, and the documentation fonts.
#include "app/app_model.h"

#include "app/document_types.h"
#include "app/proposed_file_name.h"
#include "docexport/pdf_font_set.h"
#include "docexport/program_document_pdf.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QThreadPool>

#include <chrono>

namespace tw {

namespace {

QString quotedName(const QString& path) {
    return QStringLiteral("“") + QFileInfo(QDir::cleanPath(path)).fileName() + QStringLiteral("”");
}

QString fontsNotice(const DocFonts& fonts, const QString& path) {
    const QString prefix = QStringLiteral("The documentation PDF will use the ");
    if (fonts.keys && fonts.display) return prefix + QStringLiteral("HP 15C key and display fonts") + ".";
    if (fonts.keys) return prefix + QStringLiteral("HP 15C key font (no display font)") + ".";
    if (fonts.display) return prefix + QStringLiteral("HP 15C display font (no key font)") + ".";
    return QStringLiteral("No HP 15C fonts found in ") + quotedName(path) + QStringLiteral(". Choose the folder that holds ") +
           QLatin1String(DocFontStore::keysFileName) + QStringLiteral(" and ") +
           QLatin1String(DocFontStore::displayFileName) + QStringLiteral(".");
}

} // namespace

void AppModel::exportDocumentation() {
    const PDFPaper paper = paper_; // the paper of the moment of asking
    if (!engine_) return;
    QPointer<AppModel> self(this);
    requestFreshInspection([self, paper](std::optional<InspectorSnapshot> fresh) {
        if (self && fresh) self->renderDocumentation(*fresh, paper);
    });
}

void AppModel::exportListing(const std::optional<InspectorSnapshot>& fresh) {
    if (!fresh) return;
    const ProgramDocumentContent content = documentationContent(*fresh);
    const std::string text = content.plainText();
    offerExport({ExportKind::text, UTType::plainText,
                 proposedFileName(QString::fromStdString(content.displayTitle()) + QStringLiteral(" listing"),
                                  documentType(UTType::plainText).fileExtension()),
                 MemoryFile{std::vector<uint8_t>(text.begin(), text.end())}});
}

ProgramDocumentContent AppModel::documentationContent(const InspectorSnapshot& inspection) const {
    const std::string modelName = ProgramDocumentInfo::modelNameFor(snapshot_.variant, snapshot_.model);
    ProgramDocument doc = programDoc_; // the notes themselves keep their own model text
    doc.model = modelName;
    ProgramDocumentInfo info;
    info.modelName = modelName;
    info.firmware = firmwareName_ ? firmwareName_->toStdString() : std::string();
    info.memoryFile = memoryFileName_ ? memoryFileName_->toStdString() : std::string();
    info.model = inspection.model;
    info.date = std::chrono::system_clock::now();
    return ProgramDocumentContent(std::move(doc), std::move(info),
                                  inspection.hasProgram ? inspection.program : std::vector<ProgramLine>{},
                                  inspection.model == 15 ? inspection.pool : std::nullopt, inspection.setFlags());
}

void AppModel::renderDocumentation(const InspectorSnapshot& inspection, PDFPaper paper) {
    const ProgramDocumentContent content = documentationContent(inspection);
    renderDocumentationPDF(
        content, docFontStore_.locations(), paper,
        proposedFileName(QString::fromStdString(content.displayTitle()) + QStringLiteral(" documentation"),
                         documentType(UTType::pdf).fileExtension()));
}

void AppModel::renderDocumentationPDF(const ProgramDocumentContent& content, const DocFontLocations& fonts,
                                      PDFPaper paper, const QString& name) {
    QPointer<AppModel> self(this);
    QThreadPool::globalInstance()->start([self, main = main_, content, fonts, paper, name] {
        // The fonts are read again for every PDF, so that fonts added or removed since
        // the last load count.
        DocFonts loaded = DocFontStore::load(fonts);
        auto fontSet = std::make_shared<PDFFontSet>(loaded.keys, loaded.display);
        std::vector<uint8_t> pdf = ProgramDocumentPDF::render(content, paper, fontSet);
        main([self, loaded = std::move(loaded)]() mutable {
            if (self) self->setDocFonts(std::move(loaded));
        });
        main([self, name, pdf = std::move(pdf)]() mutable {
            if (self) self->offerPDFExport(name, std::move(pdf));
        });
    });
}

void AppModel::offerPDFExport(const QString& name, std::vector<uint8_t> data) {
    offerExport({ExportKind::pdf, UTType::pdf, name, MemoryFile{std::move(data)}});
}

void AppModel::loadDocFonts() {
    QPointer<AppModel> self(this);
    QThreadPool::globalInstance()->start(
        [self, main = main_, where = docFontStore_.locations()] {
            DocFonts loaded = DocFontStore::load(where);
            main([self, loaded = std::move(loaded)]() mutable {
                if (self) self->setDocFonts(std::move(loaded));
            });
        });
}

void AppModel::useDocFonts(const FileResult& result) {
    if (!result.ok()) {
        setErrorMessage(result.error);
        return;
    }
    DocFonts fonts;
    try {
        fonts = docFontStore_.choose(*result.path);
    } catch (const std::exception&) {
        setErrorMessage(quotedName(*result.path) + QStringLiteral(" is not one of the HP 15C fonts."));
        return;
    }
    const QString notice = fontsNotice(fonts, *result.path);
    setDocFonts(std::move(fonts));
    setNotice(notice);
}

} // namespace tw
