// The documentation export: the PDF of a program on our test firmware, read back
// by qpdf and poppler, and the text listing byte for byte.
#include "app/listings.h"
#include "app/support/app_test_support.h"
#include "app/test_fonts.h"
#include "docexport/pdf_tools.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using namespace tw;
using namespace tw::test;
using namespace std::chrono_literals;

// Records the keys as a program in the running calculator, on the engine thread.
void recordInEngine(AppModel& app, const std::vector<int>& steps) {
    std::atomic<bool> done{false};
    app.engine()->send(CalculatorEngine::Command::Perform{[&, steps](CalculatorMachine& machine) {
        keys(machine, {kG, kRunStop});
        keys(machine, steps);
        keys(machine, {kG, kRunStop});
        done = true;
    }});
    ASSERT_TRUE(waitFor([&] { return done.load(); }));
}

TEST(DocumentationExport, NamesComeFromTheTitleTheMemoryFileOrNothing) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    MemoryPlatform platform;
    AppModel app(platform);
    const auto listingName = [&] {
        app.exportListing(sum);
        return app.exportNameOverride().value_or("(none)");
    };
    EXPECT_EQ(listingName(), "Untitled program listing");
    app.setMemoryFileName(QStringLiteral("Loan.15c"));
    EXPECT_EQ(listingName(), "Loan.15c listing");
    ProgramDocument doc;
    doc.title = "Loan";
    app.setProgramDoc(doc);
    EXPECT_EQ(listingName(), "Loan listing");
    EXPECT_EQ(app.exportKind(), ExportKind::text);
    EXPECT_EQ(app.exportType(), UTType::plainText);

    app.setExportDocument(std::nullopt);
    app.exportListing(std::nullopt); // no snapshot: nothing
    EXPECT_FALSE(app.exportDocument());
    app.exportDocumentation(); // no engine: nothing
    pump(50ms);
    EXPECT_FALSE(app.exportDocument());
}

// A title may hold what a file name cannot: the names proposed from it replace
// those characters and keep everything else.
TEST(DocumentationExport, NamesFromATitleHoldNoSlashOrNul) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    MemoryPlatform platform;
    AppModel app(platform);
    ProgramDocument doc;
    doc.title = std::string("Loan 1/2 \u00e9t\u00e9") + '\0' + "..";
    app.setProgramDoc(doc);
    const QString kept = QStringLiteral("Loan 1-2 été-..");

    app.saveProgramNotes();
    EXPECT_EQ(app.exportNameOverride(), kept);
    app.exportListing(sum);
    EXPECT_EQ(app.exportNameOverride(), kept + " listing");
    app.setExportDocument(std::nullopt);
    app.renderDocumentation(sum, PDFPaper::a4);
    ASSERT_TRUE(waitFor([&] { return app.exportDocument().has_value(); }));
    EXPECT_EQ(app.exportNameOverride(), kept + " documentation");
}

// A title longer than a file name can hold is cut, with its suffix, to 255 bytes
// between two characters; double quotes, which Qt's panel reads as a list of
// names, and a leading "~", which it reads as a home folder, are not proposed.
TEST(DocumentationExport, NamesFromALongOrQuotedTitleFitAFileNameAndReadAsShown) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    MemoryPlatform platform;
    AppModel app(platform);
    ProgramDocument doc;
    // Two-byte, three-byte and four-byte characters, so that a cut at 255 bytes
    // would fall inside one of them.
    for (int i = 0; i < 200000; ++i) doc.title += i % 3 == 0 ? "\u00e9" : i % 3 == 1 ? "\u20ac" : "\U0001F600";
    app.setProgramDoc(doc);
    const QString title = QString::fromStdString(doc.title);
    const auto fits = [&](const QString& name, const char* extension) {
        const QByteArray bytes = (name + "." + extension).toUtf8();
        EXPECT_LE(bytes.size(), 255);
        EXPECT_GT(bytes.size(), 255 - 4); // cut no shorter than needed
        EXPECT_TRUE(title.startsWith(name));
        EXPECT_FALSE(name.back().isHighSurrogate());
    };
    app.saveProgramNotes();
    fits(app.exportNameOverride().value_or(QString()), "orvanedoc");
    app.exportListing(sum);
    fits(app.exportNameOverride().value_or(QString()), "txt");

    doc.title = "~Loan \"v2\"";
    app.setProgramDoc(doc);
    app.saveProgramNotes();
    EXPECT_EQ(app.exportNameOverride(), QStringLiteral("-Loan 'v2'"));
    app.setExportDocument(std::nullopt);
    app.renderDocumentation(sum, PDFPaper::a4);
    ASSERT_TRUE(waitFor([&] { return app.exportDocument().has_value(); }));
    EXPECT_EQ(app.exportNameOverride(), QStringLiteral("-Loan 'v2' documentation"));
}

TEST(DocumentationExport, TheListingIsTheDocumentationsPlainTextByteForByte) {
    TW_REQUIRE_TEST_FIRMWARE();
    const InspectorSnapshot sum = recordedProgram(sumProgram);
    MemoryPlatform platform;
    AppModel app(platform);
    app.setFirmwareName(QStringLiteral("hp15.bin"));
    app.setMemoryFileName(QStringLiteral("Sum.15c"));
    app.showProgramInfo(sum);
    app.setStepComment("adds the two", stepOf(sum, "40"));
    const ProgramDocument notes = app.programDoc();

    app.exportListing(sum);
    ASSERT_TRUE(app.exportDocument());

    // The same documentation built here from its parts.
    ProgramDocument doc = notes;
    doc.model = "HP-16C"; // the display snapshot before any engine ran
    ProgramDocumentInfo info{"HP-16C", "hp15.bin", "Sum.15c", 15, std::chrono::system_clock::now()};
    const std::string expected = ProgramDocumentContent(doc, info, sum.program, sum.pool, sum.setFlags()).plainText();
    EXPECT_EQ(std::string(app.exportDocument()->data.begin(), app.exportDocument()->data.end()), expected);
    EXPECT_NE(expected.find("adds the two"), std::string::npos);
    EXPECT_EQ(app.programDoc(), notes); // the model name went only into the copy
}

TEST(DocumentationExport, ThePDFOfAProgramReadsBackWithItsFontsAndPaper) {
    TW_REQUIRE_TEST_FIRMWARE();
    if (!toolAvailable("qpdf") || !toolAvailable("pdftotext") || !toolAvailable("pdfinfo"))
        GTEST_SKIP() << "qpdf or poppler missing";
    MemoryPlatform platform;
    const std::filesystem::path fonts = std::filesystem::path(platform.homeFolder().toStdString()) / "Firmware/Fonts";
    writeBytes(fonts / DocFontStore::keysFileName, keyFont());
    writeBytes(fonts / DocFontStore::displayFileName, displayFont());
    AppModel app(platform);
    ASSERT_TRUE(startOn(app, Firmware::Hp15c, std::nullopt, "hp15.bin"));
    recordInEngine(app, sumProgram);
    ProgramDocument doc;
    doc.title = "Loan";
    doc.model = "my own text";
    app.setProgramDoc(doc);
    app.setPaper(PDFPaper::a4);

    app.exportDocumentation();
    app.setPaper(PDFPaper::letter); // chosen too late for this PDF
    ASSERT_TRUE(waitFor([&] { return app.exportDocument().has_value(); }));
    EXPECT_EQ(app.exportKind(), ExportKind::pdf);
    EXPECT_EQ(app.exportType(), UTType::pdf);
    EXPECT_EQ(app.exportNameOverride(), "Loan documentation");
    EXPECT_TRUE(app.docFonts().keys); // republished from this export's own load
    EXPECT_TRUE(app.docFonts().display);
    EXPECT_EQ(app.programDoc().model, "my own text");

    TempFile pdf("Loan documentation.pdf");
    pdf.write(app.exportDocument()->data);
    const ToolResult check = runTool({"qpdf", "--check", pdf.str()});
    EXPECT_EQ(check.status, 0) << check.output;
    const ToolResult info = runTool({"pdfinfo", pdf.str()});
    EXPECT_NE(info.output.find("(A4)"), std::string::npos) << info.output;
    const ToolResult text = runTool({"pdftotext", "-layout", pdf.str(), "-"});
    ASSERT_EQ(text.status, 0) << text.output;
    EXPECT_NE(text.output.find("Loan"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("HP-15C"), std::string::npos) << text.output;
    EXPECT_NE(text.output.find("hp15.bin"), std::string::npos) << text.output;
}

TEST(DocumentationExport, AnHP16CGivesItsModelNameAndNoPool) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    AppModel app(platform);
    ASSERT_TRUE(startOn(app, Firmware::Hp16c));
    ASSERT_TRUE(waitFor([&] { return app.snapshot().model == 16 && app.snapshot().variant == 160; }));
    const auto fresh = freshInspection(app);
    ASSERT_TRUE(fresh);
    const ProgramDocumentContent content = app.documentationContent(*fresh);
    EXPECT_EQ(content.info.modelName, "HP-16C");
    EXPECT_EQ(content.doc.model, "HP-16C");
    EXPECT_FALSE(content.pool);
}

} // namespace
