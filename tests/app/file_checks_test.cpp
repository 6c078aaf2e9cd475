// The checks made before a user's file is read, and the document that carries the
// bytes to the save panel.
#include "platform/file_checks.h"
#include "app/memory_file.h"
#include "support/capped_child.h"
#include "support/system_reason.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using tw::FileReadError;
using Kind = tw::FileReadError::Kind;

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

QByteArray pattern(qsizetype n) {
    QByteArray b(n, '\0');
    for (qsizetype i = 0; i < n; ++i) b[i] = char(i * 7 + 3);
    return b;
}

std::vector<uint8_t> bytes(const QByteArray& b) { return {b.begin(), b.end()}; }

TEST(FileChecks, AFileOfTheRequiredSizeIsReadWhole) {
    QTemporaryDir dir;
    const auto bytes = pattern(2048);
    const auto read = tw::readFileOfSize(writeFile(dir, "prog.15c", bytes), 2048);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.data, bytes);
}

TEST(FileChecks, AnyOtherSizeIsRefusedWithTheSizeFound) {
    QTemporaryDir dir;
    for (qsizetype n : {0, 2047, 2049, 1 << 20}) {
        SCOPED_TRACE(n);
        const auto read = tw::readFileOfSize(writeFile(dir, "x.15c", pattern(n)), 2048);
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error->kind, Kind::wrongSize);
        EXPECT_EQ(read.error->size, n);
        EXPECT_TRUE(read.data.isEmpty());
    }
}

TEST(FileChecks, AFileBeyondItsLimitIsNotRead) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "notes.orvanedoc", QByteArray());
    // A sparse file of 4 GiB: reading it would fill memory; its size alone refuses it.
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), qint64(4) << 30), 0);
    const auto read = tw::readFileUpTo(path, 1 << 20);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error->kind, Kind::tooLarge);
    EXPECT_EQ(read.error->size, qint64(4) << 30);

    EXPECT_EQ(tw::readFileUpTo(writeFile(dir, "small", "{}"), 1 << 20).data, QByteArray("{}"));
}

TEST(FileChecks, AFifoOrAFolderIsRefusedWithoutWaiting) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("prog.15c");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // No writer ever opens the FIFO: a plain open for reading would block here.
    EXPECT_EQ(tw::readFileOfSize(fifo, 2048).error, (FileReadError{Kind::notRegular, -1, {}}));
    EXPECT_EQ(tw::readFileUpTo(fifo, 1 << 20).error->kind, Kind::notRegular);
    EXPECT_EQ(tw::readFileOfSize(dir.path(), 2048).error->kind, Kind::notRegular);
}

TEST(FileChecks, WhatIsPlainlyNoRegularFileIsNotEvenOpened) {
    // Opening a FIFO or a device can have effects of its own (a writer waiting in its
    // open is let go); the system's notice of every open shows whether one happened.
    QTemporaryDir dir;
    const QString fifo = dir.filePath("HP15CSimulatorKeys.ttf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(fifo).constData(), IN_OPEN), 0);
    EXPECT_EQ(tw::readFileUpTo(fifo, 1 << 20).error->kind, Kind::notRegular);
    alignas(inotify_event) char events[4096];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "the FIFO was opened";
    ::close(watch);
}

// A file whose contents outgrow the size it had when it was checked, as one being
// written to does, is refused rather than cut at that size. The system's own status
// file reports no size at all and then has contents: the same, every time.
TEST(FileChecks, AFileThatGrowsWhileItIsReadIsRefusedNotCut) {
    const QString grows = QStringLiteral("/proc/self/status");
    ASSERT_TRUE(QFile::exists(grows));
    ASSERT_EQ(QFileInfo(grows).size(), 0);
    const auto read = tw::readFileUpTo(grows, 1 << 20);
    ASSERT_FALSE(read.ok()) << read.data.toStdString();
    EXPECT_EQ(read.error->kind, Kind::readFailed);
    EXPECT_EQ(read.error->description, "“status” could not be read: it changed while it was being read.");
    EXPECT_TRUE(read.data.isEmpty());
}

TEST(FileChecks, AMissingFileGivesTheSystemsReasonWithItsName) {
    QTemporaryDir dir;
    const auto read = tw::readFileOfSize(dir.filePath("gone.16c"), 2048);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error->kind, Kind::cannotOpen);
    EXPECT_TRUE(read.error->description.startsWith("“gone.16c” could not be opened: ")) << read.error->description.toStdString();
    EXPECT_GT(read.error->description.size(), QString("“gone.16c” could not be opened: .").size());
}

TEST(MemoryFile, ReadsAnyRegularFileUnchangedAndRefusesAFolder) {
    QTemporaryDir dir;
    for (qsizetype n : {0, 5, 2048, 300000}) {
        const auto content = pattern(n);
        const auto read = tw::MemoryFile::read(writeFile(dir, QString("f%1.pdf").arg(n), content));
        ASSERT_TRUE(std::holds_alternative<tw::MemoryFile>(read)) << n;
        EXPECT_EQ(std::get<tw::MemoryFile>(read).data, bytes(content));
    }
    const auto folder = tw::MemoryFile::read(dir.path());
    ASSERT_TRUE(std::holds_alternative<FileReadError>(folder));
    EXPECT_EQ(std::get<FileReadError>(folder).kind, Kind::notRegular);
}

TEST(MemoryFile, WritesItsBytesAndReplacesAnOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.16c");
    EXPECT_EQ(tw::MemoryFile{bytes(pattern(5000))}.write(path), std::nullopt);
    EXPECT_EQ(tw::MemoryFile{bytes(pattern(2048))}.write(path), std::nullopt);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), pattern(2048));

    EXPECT_EQ(tw::MemoryFile{}.write(dir.filePath("empty.txt")), std::nullopt);
    EXPECT_EQ(QFileInfo(dir.filePath("empty.txt")).size(), 0);

    const auto error = tw::MemoryFile{bytes(pattern(10))}.write(dir.filePath("no/such/folder/x.15c"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->startsWith("“x.15c” could not be saved: "));
}

TEST(MemoryFile, AWriteCutShortNamesTheFileAndKeepsTheEarlierOne) {
    // Under and over the 16 KB that Qt's save file kept in its buffer.
    for (const int size : {3000, 40000}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        const QString path = writeFile(dir, "Loan.15c", pattern(2048));
        const auto outcome = tw::test::runWithFileSizeCap(1024, [&](std::string& note) {
            const auto error = tw::MemoryFile{bytes(pattern(size))}.write(path);
            note = error.value_or("saved").toStdString();
            return 0;
        });
        EXPECT_EQ(outcome.note,
                  "“Loan.15c” could not be saved: " + tw::test::systemReason(EFBIG).toStdString() + ".");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == pattern(2048));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Loan.15c"});
    }
}

} // namespace
