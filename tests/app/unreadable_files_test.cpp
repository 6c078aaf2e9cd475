// Files the application reads by itself (the remembered firmware, the documentation
// fonts) replaced by a FIFO that no writer opens or by a sparse 3 GB file: each is
// passed over, neither waited for nor read, in the ways a missing file is.
#include "app/hostile_files.h"
#include "app/support/app_test_support.h"
#include "app/test_fonts.h"

#include <QDir>
#include <QThreadPool>

#include <gtest/gtest.h>

namespace {

using namespace tw;
using namespace tw::test;
using namespace std::chrono_literals;

QString under(const MemoryPlatform& platform, const QString& relative) {
    return QDir(platform.root()).filePath(relative);
}

std::filesystem::path asPath(const QString& path) { return std::filesystem::path(path.toStdString()); }

TEST(UnreadableFiles, ARememberedFirmwareThatIsNoFileStartsNothingAndSaysNothing) {
    TW_REQUIRE_TEST_FIRMWARE();
    MemoryPlatform platform;
    const QString fifo = makeFifo(under(platform, "fw/pipe.bin"));
    const QString huge = makeSparseFile(under(platform, "fw/huge.bin"));
    for (const QString& path : {fifo, huge}) {
        SCOPED_TRACE(path.toStdString());
        platform.setSetting("firmwareBookmark", Platform::fileReference(path));
        platform.setSetting("firmwareName", "hp15.bin");
        AppModel model(platform);
        {
            // The start road when the window first shows.
            ReadWatch watch({fifo});
            EXPECT_FALSE(model.startRememberedFirmware());
            EXPECT_TRUE(watch.passedOver());
        }
        EXPECT_FALSE(model.isStarting());
        EXPECT_FALSE(model.errorMessage());

        // The reset reads the remembered file again.
        ASSERT_TRUE(startOn(model, Firmware::Hp15c));
        {
            ReadWatch watch({fifo});
            model.resetCalculator();
            EXPECT_TRUE(watch.passedOver());
        }
        EXPECT_FALSE(model.isRunning());
        EXPECT_FALSE(model.errorMessage());
        // Kept, so that the next start tries again.
        EXPECT_EQ(platform.setting("firmwareBookmark"), Platform::fileReference(path));
        EXPECT_EQ(platform.setting("firmwareName").toString(), "hp15.bin");
    }
}

TEST(UnreadableFiles, AChosenFontFileOrFolderThatHoldsNoFilesIsRefusedWithItsMessage) {
    MemoryPlatform platform;
    AppModel app(platform);
    const QString fifo = makeFifo(under(platform, "pipe.ttf"));
    const QString huge = makeSparseFile(under(platform, "huge.ttf"));
    for (const QString& path : {fifo, huge}) {
        ReadWatch watch({fifo});
        app.useDocFonts(FileResult::file(path));
        EXPECT_TRUE(watch.passedOver()) << path.toStdString();
        EXPECT_EQ(app.errorMessage(), "“" + QFileInfo(path).fileName() + "” is not one of the HP 15C fonts.");
        app.setErrorMessage(std::nullopt);
    }
    EXPECT_TRUE(platform.settings().isEmpty());

    // A folder whose two font names are a FIFO and a huge file holds no fonts.
    const QString folderFifo = makeFifo(under(platform, "fonts/HP15CSimulatorKeys.ttf"));
    makeSparseFile(under(platform, "fonts/HP15CSimulatorDisplay.ttf"));
    {
        ReadWatch watch({folderFifo});
        app.useDocFonts(FileResult::file(under(platform, "fonts")));
        EXPECT_TRUE(watch.passedOver());
    }
    EXPECT_EQ(app.notice(), "No HP 15C fonts found in “fonts”. Choose the folder that holds HP15CSimulatorKeys.ttf "
                            "and HP15CSimulatorDisplay.ttf.");
    EXPECT_FALSE(app.errorMessage());
}

TEST(UnreadableFiles, FontsThatBecameNoFilesAreSkippedByEveryLoad) {
    MemoryPlatform platform;
    DocFontStore store{platform, "docFontFolderBookmark", "docFontKeysBookmark", "docFontDisplayBookmark"};
    // A chosen key font, later replaced by a FIFO; a chosen display font, later by a huge file.
    writeBytes(asPath(under(platform, "keys.ttf")), keyFont());
    writeBytes(asPath(under(platform, "display.ttf")), displayFont());
    store.choose(under(platform, "keys.ttf"));
    ASSERT_TRUE(store.choose(under(platform, "display.ttf")).display);
    QFile::remove(under(platform, "keys.ttf"));
    QFile::remove(under(platform, "display.ttf"));
    const QString chosenFifo = makeFifo(under(platform, "keys.ttf"));
    makeSparseFile(under(platform, "display.ttf"));
    // The default folder the same.
    const QString home = platform.homeFolder();
    const QString defaultFifo = makeFifo(QDir(home).filePath("Firmware/Fonts/HP15CSimulatorKeys.ttf"));
    makeSparseFile(QDir(home).filePath("Firmware/Fonts/HP15CSimulatorDisplay.ttf"));
    const QStringList fifos{chosenFifo, defaultFifo};
    {
        ReadWatch watch(fifos);
        const DocFonts fonts = store.load();
        EXPECT_TRUE(watch.passedOver());
        EXPECT_FALSE(fonts.keys);
        EXPECT_FALSE(fonts.display);
        EXPECT_TRUE(fonts.source.isEmpty());
    }

    // The background load, and the load before a PDF, on the application's threads:
    // the PDF comes with the standard fonts.
    TW_REQUIRE_TEST_FIRMWARE();
    AppModel app(platform);
    ASSERT_TRUE(startOn(app, Firmware::Hp15c));
    {
        ReadWatch watch(fifos);
        app.loadDocFonts();
        app.exportDocumentation();
        EXPECT_TRUE(waitFor([&] { return app.exportDocument().has_value(); }));
        QThreadPool::globalInstance()->waitForDone();
        EXPECT_TRUE(watch.passedOver());
    }
    pump(50ms);
    EXPECT_EQ(app.exportKind(), ExportKind::pdf);
    EXPECT_FALSE(app.docFonts().keys);
    EXPECT_FALSE(app.docFonts().display);
    EXPECT_FALSE(app.errorMessage());
}

} // namespace
