// When the settings reach the disk: a burst of changes is one write after it ends,
// made on the writer's thread; changes a full disk refused stay pending and reach
// the file with the next change, or when the quit writes what is pending.
#include "platform/core_application.h"
#include "platform/ini_settings_text.h"
#include "platform/main_queue.h"
#include "platform/qt_platform.h"
#include "platform/settings_file.h"
#include "platform/settings_file_format.h"

#include "support/capped_child.h"
#include "support/hang_limit.h"
#include "support/system_reason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

namespace tw {
namespace {

// Runs the event loop until `done` holds; false after the hang limit.
bool waitUntil(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + test::kHangLimit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Runs the event loop for a while.
void spin(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

QSettings::SettingsMap inFile(const QString& path) {
    QFile file(path);
    QSettings::SettingsMap values;
    if (file.open(QIODevice::ReadOnly)) decodeIniSettings(file.readAll(), values);
    return values;
}

// A settings file and the system log's lines, with the writer's answers counted.
struct Settings {
    QTemporaryDir dir;
    QString path = dir.filePath("Tarnwick/Tarnwick.conf");
    MainQueue queue;
    std::atomic<int> answers{0};
    std::mutex logMutex;
    QStringList log;
    std::unique_ptr<SettingsFile> file;

    Settings() { open(); }
    void open() {
        file = std::make_unique<SettingsFile>(
            path,
            [this, main = queue.executor()](std::function<void()> work) {
                ++answers;
                main(std::move(work));
            },
            [this](const QString& line) {
                std::lock_guard lock(logMutex);
                log.append(line);
            });
    }
    QStringList logLines() {
        std::lock_guard lock(logMutex);
        return log;
    }
};

TEST(SettingsWrites, ABurstOfChangesIsOneWriteAfterItEnds) {
    test::ensureCoreApplication();
    Settings s;
    // Typing: a change every 50 ms, with the event loop running in between.
    for (int i = 1; i <= 8; ++i) {
        s.file->setValue("programDoc.none", QByteArray(2000 + i, 'n'));
        spin(50);
    }
    s.file->setValue("group/a", 1);
    s.file->setValue("group/b/c", 2);
    s.file->setValue("groupie", 3);
    s.file->remove("group"); // the key and those below it, as in Qt's settings
    EXPECT_FALSE(QFile::exists(s.path)); // nothing written while the changes come
    ASSERT_TRUE(waitUntil([&] { return s.answers == 1; }));
    spin(3 * SettingsFile::writeDelayMs);
    EXPECT_EQ(s.answers, 1);
    EXPECT_FALSE(s.file->hasPendingChanges());
    EXPECT_EQ(inFile(s.path), (QSettings::SettingsMap{{"programDoc.none", QByteArray(2008, 'n')}, {"groupie", "3"}}));
    EXPECT_TRUE(s.logLines().isEmpty());
}

// Notes are costly to encode: their value is made when the file is written, on the
// writer's thread, never on the thread that typed them.
TEST(SettingsWrites, ACostlyValueIsMadeOnTheWritersThread) {
    test::ensureCoreApplication();
    Settings s;
    std::mutex mutex;
    std::vector<std::thread::id> makers;
    s.file->setValueLazily("programDoc.none", [&] {
        std::lock_guard lock(mutex);
        makers.push_back(std::this_thread::get_id());
        return QVariant(QByteArray("{\"title\": \"Loan\"}"));
    });
    ASSERT_TRUE(waitUntil([&] { return s.answers == 1; }));
    {
        std::lock_guard lock(mutex);
        ASSERT_EQ(makers.size(), 1u);
        EXPECT_NE(makers.front(), std::this_thread::get_id());
    }
    EXPECT_EQ(inFile(s.path).value("programDoc.none"), QByteArray("{\"title\": \"Loan\"}"));
    // Read here, it is made here.
    EXPECT_EQ(s.file->value("programDoc.none"), QByteArray("{\"title\": \"Loan\"}"));
}

// A change made while the file is being written is not in that write: it stays
// pending when the write ends, and the quit's write takes it along.
TEST(SettingsWrites, AChangeMadeDuringAWriteStaysPendingAfterIt) {
    test::ensureCoreApplication();
    Settings s;
    std::mutex mutex;
    std::condition_variable cv;
    bool making = false, madeMayEnd = false;
    s.file->setValueLazily("programDoc.none", [&] {
        std::unique_lock lock(mutex);
        making = true;
        cv.notify_all();
        cv.wait(lock, [&] { return madeMayEnd; });
        return QVariant(QByteArray("notes"));
    });
    ASSERT_TRUE(waitUntil([&] {
        std::lock_guard lock(mutex);
        return making;
    }));
    s.file->setValue("title", "Loan");
    {
        std::lock_guard lock(mutex);
        madeMayEnd = true;
    }
    cv.notify_all();
    ASSERT_TRUE(waitUntil([&] { return s.answers == 1; }));
    spin(50); // the answer reaches this thread; the next write is still far off
    EXPECT_TRUE(s.file->hasPendingChanges());
    EXPECT_EQ(s.file->writePending(), std::nullopt);
    EXPECT_EQ(inFile(s.path), (QSettings::SettingsMap{{"programDoc.none", QByteArray("notes")}, {"title", "Loan"}}));
}

// A full disk refuses the write (the earlier file stays); the change stays pending
// and the next change, once there is room, writes it with its own.
TEST(SettingsWrites, ChangesTheDiskRefusedAreWrittenWithTheNextChange) {
    test::ensureCoreApplication();
    QTemporaryDir dir;
    const QString path = dir.filePath("Tarnwick.conf");
    QFile earlierFile(path);
    ASSERT_TRUE(earlierFile.open(QIODevice::WriteOnly));
    earlierFile.write(encodeIniSettings({{"firmwareName", "hp15c.bin"}, {"programDoc.none", QByteArray(3000, 'n')}}));
    earlierFile.close();
    const auto earlier = inFile(path);

    const auto outcome = test::runWithFileSizeCap(1024, [&](std::string& note) {
        const auto fail = [&note](const char* why) {
            note = why;
            return 1;
        };
        MainQueue queue;
        QStringList log;
        SettingsFile settings(path, queue.executor(), [&](const QString& line) { log.append(line); });
        settings.setValue("title", "Loan");
        if (!waitUntil([&] { return !log.isEmpty(); })) return fail("no failure logged");
        if (inFile(path) != earlier) return fail("the earlier file was not kept");
        if (!settings.hasPendingChanges()) return fail("the refused change was dropped");
        test::liftFileSizeCap();
        settings.setValue("skin", "hp15c");
        if (!waitUntil([&] { return !settings.hasPendingChanges(); })) return fail("never written");
        note = log.join('\n').toStdString();
        return 0;
    });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.note;
    // Logged once.
    EXPECT_EQ(outcome.note, "Tarnwick: could not save the settings: " + test::systemReason(EFBIG).toStdString());
    auto expected = earlier;
    expected.insert("title", "Loan");
    expected.insert("skin", "hp15c");
    EXPECT_EQ(inFile(path), expected);
}

// At quit: the write waits for none, reports the failure, and writes everything
// once there is room, without another change.
TEST(SettingsWrites, TheQuitWriteReportsAFailureAndWritesOnceThereIsRoom) {
    test::ensureCoreApplication();
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    const QString path = settingsFilePath();
    const auto outcome = test::runWithFileSizeCap(1024, [&](std::string& note) {
        const auto fail = [&note](const std::string& why) {
            note = why;
            return 1;
        };
        QtPlatform platform;
        platform.setSetting("firmwareName", "hp15c.bin");
        platform.setSettingLazily("programDoc.none", [] { return QVariant(QByteArray(5000, 'n')); });
        const auto refused = platform.writePendingSettings();
        if (!refused || refused->reason != test::systemReason(EFBIG)) return fail("no failure reported");
        if (QFile::exists(path)) return fail("a cut-short file was left");
        test::liftFileSizeCap();
        if (const auto failure = platform.writePendingSettings())
            return fail(failure->reason.toStdString());
        return 0;
    });
    ASSERT_EQ(outcome.exitCode, 0) << outcome.note;
    EXPECT_EQ(inFile(path),
              (QSettings::SettingsMap{{"firmwareName", "hp15c.bin"}, {"programDoc.none", QByteArray(5000, 'n')}}));
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{"Tarnwick.conf"});
}

} // namespace
} // namespace tw
