// The documentation fonts: recognised by their glyphs in the chosen folder, chosen
// files and the default folder, refused when they are the wrong fonts, and the
// notices of the font choice.
#include "app/support/app_test_support.h"
#include "app/test_fonts.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

using namespace tw;
using namespace tw::test;

struct DocFontFolders : ::testing::Test {
    MemoryPlatform platform;
    DocFontStore store{platform, "docFontFolderBookmark", "docFontKeysBookmark", "docFontDisplayBookmark"};

    std::filesystem::path at(const QString& relative) const {
        return std::filesystem::path(QDir(platform.root()).filePath(relative).toStdString());
    }
    QString path(const QString& relative) const { return QDir(platform.root()).filePath(relative); }
    std::filesystem::path defaultFolder() const {
        return std::filesystem::path(platform.homeFolder().toStdString()) / "Firmware" / "Fonts";
    }
};

TEST_F(DocFontFolders, KindsAreToldByTheirGlyphs) {
    EXPECT_EQ(docFontKind(TrueTypeFont(keyFont())), DocFontKind::keys);
    EXPECT_EQ(docFontKind(TrueTypeFont(displayFont())), DocFontKind::display);
    EXPECT_EQ(docFontKind(TrueTypeFont(wrongFont())), DocFontKind::neither);
    // A font with both sets of glyphs is a key font.
    EXPECT_EQ(docFontKind(TrueTypeFont(readFile(kDejaVuSans))), DocFontKind::keys);
}

TEST_F(DocFontFolders, AChosenFolderComesFirstAndTheDefaultFolderFillsIn) {
    writeBytes(at("chosen") / DocFontStore::displayFileName, displayFont());
    const DocFonts onlyDisplay = store.choose(path("chosen"));
    EXPECT_FALSE(onlyDisplay.keys);
    ASSERT_TRUE(onlyDisplay.display);
    EXPECT_EQ(onlyDisplay.source, path("chosen/HP15CSimulatorDisplay.ttf"));

    writeBytes(defaultFolder() / DocFontStore::keysFileName, keyFont());
    writeBytes(defaultFolder() / DocFontStore::displayFileName, wrongFont()); // not used: the folder has one
    const DocFonts both = store.load();
    ASSERT_TRUE(both.keys);
    ASSERT_TRUE(both.display);
    EXPECT_EQ(both.source, QString::fromStdString((defaultFolder() / DocFontStore::keysFileName).string()));
}

TEST_F(DocFontFolders, FontsUnderEachOthersNamesAreStillRecognised) {
    writeBytes(at("swapped") / DocFontStore::keysFileName, displayFont());
    writeBytes(at("swapped") / DocFontStore::displayFileName, keyFont());
    const DocFonts fonts = store.choose(path("swapped"));
    ASSERT_TRUE(fonts.keys);
    ASSERT_TRUE(fonts.display);
    EXPECT_EQ(fonts.keys->glyphID(U'|') != 0, true);
    EXPECT_EQ(fonts.source, path("swapped/HP15CSimulatorDisplay.ttf"));
}

TEST_F(DocFontFolders, TheWrongFontsAreRefusedAndNothingIsStored) {
    writeBytes(at("files/wrong.ttf"), wrongFont());
    writeBytes(at("files/notes.txt"), {'h', 'i'});
    EXPECT_THROW(store.choose(path("files/wrong.ttf")), DocFontStore::ChooseError);
    EXPECT_THROW(store.choose(path("files/notes.txt")), DocFontStore::ChooseError);
    EXPECT_THROW(store.choose(path("files/missing.ttf")), DocFontStore::ChooseError);
    EXPECT_TRUE(platform.settings().isEmpty());

    // Bytes that are no font are skipped silently by a load.
    writeBytes(at("junk") / DocFontStore::keysFileName, {'n', 'o', 't'});
    const DocFonts fonts = store.choose(path("junk"));
    EXPECT_FALSE(fonts.keys);
    EXPECT_TRUE(fonts.source.isEmpty());
}

TEST_F(DocFontFolders, AChosenFileIsStoredByItsKindAndTheFolderWinsOverIt) {
    writeBytes(at("files/mine.ttf"), keyFont());
    writeBytes(at("folder") / DocFontStore::keysFileName, keyFont());
    EXPECT_TRUE(store.choose(path("files/mine.ttf")).keys);
    EXPECT_EQ(platform.setting("docFontKeysBookmark").toByteArray(), path("files/mine.ttf").toUtf8());
    EXPECT_EQ(store.load().source, path("files/mine.ttf"));
    store.choose(path("folder"));
    EXPECT_EQ(store.load().source, path("folder/HP15CSimulatorKeys.ttf"));
    EXPECT_TRUE(platform.settings().contains("docFontKeysBookmark")); // a folder leaves the files alone

    // A remembered file that has gone stays remembered; it is simply not found.
    QFile::remove(path("files/mine.ttf"));
    QDir(path("folder")).removeRecursively();
    EXPECT_FALSE(store.load().keys);
    EXPECT_TRUE(platform.settings().contains("docFontKeysBookmark"));
}

TEST_F(DocFontFolders, ForgettingLeavesOnlyTheDefaultFolder) {
    writeBytes(at("folder") / DocFontStore::keysFileName, keyFont());
    writeBytes(defaultFolder() / DocFontStore::displayFileName, displayFont());
    writeBytes(std::filesystem::path(platform.appDataFolder().toStdString()) / "Fonts" / "x.ttf", keyFont());
    store.choose(path("folder"));
    store.forget();
    EXPECT_TRUE(platform.settings().isEmpty());
    EXPECT_FALSE(QDir(platform.appDataFolder() + "/Fonts").exists());
    const DocFonts fonts = store.load();
    EXPECT_FALSE(fonts.keys);
    EXPECT_TRUE(fonts.display);
}

TEST_F(DocFontFolders, TheChoiceTellsWhichFontsThePDFWillUse) {
    AppModel app(platform);
    writeBytes(at("display.ttf"), displayFont());
    app.useDocFonts(FileResult::file(path("display.ttf")));
    EXPECT_EQ(app.notice(), "The documentation PDF will use the HP 15C display font (no key font).");
    EXPECT_TRUE(app.docFonts().display);

    writeBytes(at("both") / DocFontStore::keysFileName, keyFont());
    writeBytes(at("both") / DocFontStore::displayFileName, displayFont());
    app.useDocFonts(FileResult::file(path("both")));
    EXPECT_EQ(app.notice(), "The documentation PDF will use the HP 15C key and display fonts.");

    writeBytes(at("notes.txt"), {'h', 'i'});
    app.useDocFonts(FileResult::file(path("notes.txt")));
    EXPECT_EQ(app.errorMessage(), "“notes.txt” is not one of the HP 15C fonts.");
    EXPECT_TRUE(app.docFonts().keys); // the fonts before stay in use

    app.docFontStore().forget();
    QDir().mkpath(path("empty"));
    app.useDocFonts(FileResult::file(path("empty") + "/"));
    EXPECT_EQ(app.notice(), "No HP 15C fonts found in “empty”. Choose the folder that holds HP15CSimulatorKeys.ttf "
                            "and HP15CSimulatorDisplay.ttf.");
    EXPECT_FALSE(app.docFonts().keys);
    EXPECT_FALSE(app.docFonts().display);

    app.useDocFonts(FileResult::failure("The panel failed."));
    EXPECT_EQ(app.errorMessage(), "The panel failed.");
}

TEST_F(DocFontFolders, TheBackgroundLoadPublishesWithoutAMessage) {
    writeBytes(defaultFolder() / DocFontStore::keysFileName, keyFont());
    AppModel app(platform);
    app.loadDocFonts();
    ASSERT_TRUE(waitFor([&] { return app.docFonts().keys.has_value(); }));
    EXPECT_FALSE(app.notice());
    EXPECT_FALSE(app.errorMessage());
}

} // namespace
