// The platform layer: the main-thread executor, file references, the in-memory
// double and the settings of the Qt platform.
#include "platform/core_application.h"
#include "platform/main_queue.h"
#include "platform/memory_platform.h"
#include "platform/qt_platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace tw;

TEST(MainExecutor, RunsWorkFromOtherThreadsOnTheMainThreadInOrder) {
    test::ensureCoreApplication();
    MemoryPlatform platform;
    MainThreadExecutor main = platform.mainExecutor();
    std::vector<int> order; // touched on the main thread only
    std::atomic<int> wrongThread{0};
    const QThread* mainThread = QThread::currentThread();
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            main([&, i] {
                if (QThread::currentThread() != mainThread) ++wrongThread;
                order.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(order.empty()); // nothing runs until the main thread takes events
    for (int spins = 0; spins < 1000 && order.size() < 100; ++spins) QCoreApplication::processEvents();
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(order[size_t(i)], i);
    EXPECT_EQ(wrongThread, 0);
}

TEST(MainExecutor, WorkPostedWhileOrAfterTheQueueClosesIsDroppedAndWritesIntoNoFile) {
    test::ensureCoreApplication();
    QTemporaryDir dir;
    auto queue = std::make_unique<MainQueue>();
    MainThreadExecutor main = queue->executor();
    std::atomic<int> posted{0};
    std::atomic<int> ran{0};
    std::atomic<bool> stop{false};
    // A background task that finishes late, as a PDF render may at quit.
    std::thread worker([&] {
        while (!stop) {
            main([&] { ++ran; });
            ++posted;
        }
    });
    while (posted < 100) QCoreApplication::processEvents();
    queue.reset();
    const int ranBeforeClose = ran;
    // Files opened now take the lowest free descriptor numbers, among them the one
    // the queue's counter had: a late post must not write its count into them.
    std::vector<std::unique_ptr<QFile>> files;
    for (int i = 0; i < 40; ++i) {
        files.push_back(std::make_unique<QFile>(dir.filePath(QString::number(i))));
        ASSERT_TRUE(files.back()->open(QIODevice::ReadWrite));
        if (i % 4 == 3) files.erase(files.end() - 2); // freed again, and taken again
    }
    const int postedAtClose = posted;
    while (posted < postedAtClose + 1000) std::this_thread::yield();
    stop = true;
    worker.join();
    files.clear();
    for (int i = 0; i < 40; ++i) EXPECT_EQ(QFileInfo(dir.filePath(QString::number(i))).size(), 0) << i;

    // Work that comes after the close never runs, also not once events are taken.
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, ranBeforeClose);
    auto token = std::make_shared<int>(0);
    main([token] {});
    EXPECT_EQ(token.use_count(), 1); // dropped at once, not kept for nobody
}

// Closing drops the work that waits: a drain after the close runs none of it, and its
// captures are let go at once.
TEST(MainExecutor, CloseDropsTheWorkThatWaits) {
    test::ensureCoreApplication();
    MainQueue queue;
    MainThreadExecutor main = queue.executor();
    int ran = 0;
    auto token = std::make_shared<int>(0);
    main([&ran, token] { ++ran; });
    EXPECT_EQ(token.use_count(), 2);
    queue.close();
    EXPECT_EQ(token.use_count(), 1);
    queue.drain();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 0);
}

TEST(FileReferences, ResolveWhileTheFileIsThere) {
    QTemporaryDir dir;
    const QString path = dir.filePath("fw.bin");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray reference = Platform::fileReference(path);
    EXPECT_EQ(Platform::resolveFileReference(reference), path);
    EXPECT_EQ(Platform::resolveFileReference(Platform::fileReference(dir.path())), dir.path());
    QFile::remove(path);
    EXPECT_FALSE(Platform::resolveFileReference(reference));
    EXPECT_FALSE(Platform::resolveFileReference("relative/path"));
    EXPECT_FALSE(Platform::resolveFileReference({}));
}

// A path given relative to the working folder is kept as the absolute path it
// meant then: the reference still finds the file after the working folder changed.
TEST(FileReferences, ARelativePathIsKeptAbsolute) {
    QTemporaryDir dir;
    QFile file(dir.filePath("fw.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const QByteArray reference = Platform::fileReference("fw.bin");
    ASSERT_TRUE(QDir::setCurrent(before));
    EXPECT_TRUE(QDir::isAbsolutePath(QString::fromUtf8(reference))) << reference.toStdString();
    const auto resolved = Platform::resolveFileReference(reference);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(QFileInfo(*resolved).canonicalFilePath(), QFileInfo(dir.filePath("fw.bin")).canonicalFilePath());
}

TEST(MemoryPlatform, KeepsSettingsFoldersAndTheLog) {
    test::ensureCoreApplication();
    MemoryPlatform platform;
    EXPECT_FALSE(platform.setting("skin").isValid());
    platform.setSetting("skin", "hp15c");
    EXPECT_EQ(platform.setting("skin").toString(), "hp15c");
    platform.removeSetting("skin");
    EXPECT_FALSE(platform.setting("skin").isValid());
    EXPECT_TRUE(platform.appDataFolder().startsWith(platform.root()));
    EXPECT_TRUE(platform.documentsFolder().startsWith(platform.homeFolder()));
    platform.log("one");
    platform.revealFile("/tmp/x");
    EXPECT_EQ(platform.logLines(), QStringList{"one"});
    EXPECT_EQ(platform.revealed(), QStringList{"/tmp/x"});
}

TEST(QtPlatform, SettingsAreReadBackByTheNextInstance) {
    test::ensureCoreApplication();
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(config.path() + "/data"));
    {
        QtPlatform platform;
        platform.setSetting("showInspector", true);
        platform.setSetting("firmwareBookmark", QByteArray("/some/file\0with nul", 19));
        platform.setSetting("gone", 1);
        platform.removeSetting("gone");
    }
    QtPlatform platform;
    EXPECT_TRUE(platform.setting("showInspector").toBool());
    EXPECT_EQ(platform.setting("firmwareBookmark").toByteArray(), QByteArray("/some/file\0with nul", 19));
    EXPECT_FALSE(platform.setting("gone").isValid());
    EXPECT_TRUE(QFile::exists(config.path() + "/Tarnwick/Tarnwick.conf"));
    EXPECT_TRUE(platform.appDataFolder().startsWith(config.path() + "/data/Tarnwick"));
    EXPECT_FALSE(platform.homeFolder().isEmpty());
    EXPECT_FALSE(platform.documentsFolder().isEmpty());
}

} // namespace
