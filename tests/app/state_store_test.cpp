// The saved-state files and the remembered firmware.
#include "app/support/app_test_support.h"
#include "support/capped_child.h"
#include "support/system_reason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace tw;

SavedState stateFor(const std::string& id, uint8_t fill, int variant = 150) {
    return SavedState{std::vector<uint8_t>(2048, fill), variant, id};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const std::string idA = std::string(64, 'a');
const std::string idB = std::string(64, 'b');
const std::string idA2 = std::string(16, 'a') + std::string(48, 'c'); // shares A's first 16 characters

TEST(StateStore, FileNamesUnderTheDataFolder) {
    MemoryPlatform platform;
    StateStore store(platform);
    EXPECT_EQ(store.fileURL(), platform.appDataFolder() + "/State/calculator.json");
    EXPECT_EQ(store.fileURL(QString::fromStdString(idA)),
              platform.appDataFolder() + "/State/calculator-aaaaaaaaaaaaaaaa.json");
    EXPECT_EQ(store.fileURL("abc"), platform.appDataFolder() + "/State/calculator-abc.json");
    EXPECT_EQ(store.fileURL(""), platform.appDataFolder() + "/State/calculator-.json");
}

TEST(StateStore, PrefersThePerFirmwareFileAndTakesOnlyTheExactIdentity) {
    MemoryPlatform platform;
    StateStore store(platform);
    EXPECT_FALSE(store.load(QString::fromStdString(idA)));

    store.save(stateFor(idA, 1));
    store.save(stateFor(idB, 2));
    // The general file now holds B; A still has its own file.
    EXPECT_EQ(store.load(QString::fromStdString(idA)), stateFor(idA, 1));
    EXPECT_EQ(store.load(QString::fromStdString(idB)), stateFor(idB, 2));
    QFile::remove(store.fileURL(QString::fromStdString(idA)));
    EXPECT_FALSE(store.load(QString::fromStdString(idA)));

    // Two identities sharing 16 characters share a file: the other one falls back
    // to the general file, and takes it only with its exact identity.
    store.save(stateFor(idA2, 3));
    EXPECT_EQ(store.load(QString::fromStdString(idA2)), stateFor(idA2, 3));
    EXPECT_FALSE(store.load(QString::fromStdString(idA)));
    store.save(stateFor(idA, 4));
    store.save(stateFor(idB, 5));
    EXPECT_FALSE(store.load(QString::fromStdString(idA2)));
    EXPECT_TRUE(platform.logLines().isEmpty());
}

TEST(StateStore, EmptyIdentityGoesToTheGeneralFileOnly) {
    MemoryPlatform platform;
    StateStore store(platform);
    store.save(stateFor("", 7));
    EXPECT_TRUE(QFileInfo::exists(store.fileURL()));
    EXPECT_FALSE(QFileInfo::exists(store.fileURL("")));
    EXPECT_EQ(store.load(""), stateFor("", 7));
}

TEST(StateStore, DamagedOrStrangeFilesAreNoState) {
    MemoryPlatform platform;
    StateStore store(platform);
    const QString a = QString::fromStdString(idA);
    store.save(stateFor(idA, 1));

    // A per-firmware file that is not JSON still lets the general file serve.
    writeFile(store.fileURL(a), "{not json");
    EXPECT_EQ(store.load(a), stateFor(idA, 1));

    // Too big to be a saved state: refused before it is read.
    QByteArray huge = QByteArray::fromStdString(stateFor(idA, 1).toJSON());
    huge.append(QByteArray(StateStore::maximumFileSize, ' '));
    writeFile(store.fileURL(), huge);
    EXPECT_FALSE(store.load(a));

    // A folder or a named pipe where the file should be: not read, no hang.
    QFile::remove(store.fileURL());
    QDir().mkpath(store.fileURL());
    EXPECT_FALSE(store.load(a));
    QDir(store.fileURL()).removeRecursively();
    ASSERT_EQ(mkfifo(QFile::encodeName(store.fileURL()).constData(), 0600), 0);
    EXPECT_FALSE(store.load(a));
}

TEST(StateStore, AFailedSaveLogsOneLineAndKeepsTheOtherFile) {
    MemoryPlatform platform;
    StateStore store(platform);
    const QString a = QString::fromStdString(idA);
    store.save(stateFor(idA, 1));
    // A folder in the general file's place: its write fails, the per-firmware file stays.
    QFile::remove(store.fileURL());
    QDir().mkpath(store.fileURL() + "/blocker");
    store.save(stateFor(idA, 2));
    ASSERT_EQ(platform.logLines().size(), 1);
    EXPECT_TRUE(platform.logLines().front().startsWith("Tarnwick: could not save the calculator state: "));
    EXPECT_EQ(store.load(a), stateFor(idA, 1));

    // No State folder possible at all.
    MemoryPlatform blocked;
    writeFile(blocked.appDataFolder(), "a file, not a folder");
    StateStore(blocked).save(stateFor(idA, 1));
    EXPECT_EQ(blocked.logLines().size(), 1);
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(StateStore, ASaveCutShortByAFullDiskKeepsBothEarlierFilesAndIsLogged) {
    MemoryPlatform platform;
    StateStore store(platform);
    const QString a = QString::fromStdString(idA);
    store.save(stateFor(idA, 1));
    const QByteArray general = contents(store.fileURL());
    const QByteArray own = contents(store.fileURL(a));
    ASSERT_GT(general.size(), 1024); // about 2.8 KB: within the 16 KB that Qt's save file buffered

    // Writes capped at 1 KB fail with EFBIG, as writes on a full disk fail with ENOSPC.
    const auto outcome = test::runWithFileSizeCap(1024, [&](std::string& note) {
        store.save(stateFor(idA, 2));
        note = platform.logLines().join('\n').toStdString();
        return 0;
    });
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.note,
              "Tarnwick: could not save the calculator state: " + test::systemReason(EFBIG).toStdString());
    EXPECT_TRUE(contents(store.fileURL()) == general);
    EXPECT_TRUE(contents(store.fileURL(a)) == own);
    EXPECT_EQ(QDir(store.folder()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary left
    EXPECT_EQ(store.load(a), stateFor(idA, 1));
}

TEST(StateStore, ClearRemovesTheRunningFirmwaresFilesOnly) {
    MemoryPlatform platform;
    StateStore store(platform);
    store.save(stateFor(idB, 2));
    store.save(stateFor(idA, 1));
    store.clear(QString::fromStdString(idA));
    EXPECT_FALSE(QFileInfo::exists(store.fileURL()));
    EXPECT_FALSE(QFileInfo::exists(store.fileURL(QString::fromStdString(idA))));
    EXPECT_EQ(store.load(QString::fromStdString(idB)), stateFor(idB, 2));
    store.clear(QString::fromStdString(idA)); // nothing left to remove: no failure
}

TEST(StateStore, SetAsideKeepsTheIdentitysFilesUnderOtherNames) {
    MemoryPlatform platform;
    StateStore store(platform);
    store.save(stateFor(idB, 2));
    store.save(stateFor(idA, 1));
    const QStringList kept = store.setAside(QString::fromStdString(idA));
    ASSERT_EQ(kept.size(), 2);
    EXPECT_FALSE(store.load(QString::fromStdString(idA)));
    EXPECT_EQ(store.load(QString::fromStdString(idB)), stateFor(idB, 2));
    for (const QString& path : kept) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(SavedState::fromJSON(file.readAll().toStdString()), stateFor(idA, 1));
    }
}

TEST(FirmwareStore, LoadsTheRememberedFileUnderItsStoredName) {
    MemoryPlatform platform;
    FirmwareStore store(platform);
    EXPECT_FALSE(store.load());

    const QString path = QDir(platform.root()).filePath("fw.bin");
    writeFile(path, "firmware bytes");
    platform.setSetting("firmwareBookmark", Platform::fileReference(path));
    EXPECT_FALSE(store.load()); // no name yet
    platform.setSetting("firmwareName", "chosen.bin");
    auto loaded = store.load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->first, "chosen.bin");
    const std::string expected = "firmware bytes";
    EXPECT_EQ(loaded->second, std::vector<uint8_t>(expected.begin(), expected.end()));

    // Deleted: nothing loads and the keys stay for the next start.
    QFile::remove(path);
    EXPECT_FALSE(store.load());
    EXPECT_TRUE(platform.setting("firmwareBookmark").isValid());
    EXPECT_TRUE(platform.setting("firmwareName").isValid());
    writeFile(path, "back again");
    EXPECT_TRUE(store.load());
}

} // namespace
