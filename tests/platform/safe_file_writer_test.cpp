// The one file writer: a write that fails on a full disk (here: a capped file size)
// leaves the earlier file byte for byte, a finished one replaces it whole, and the
// temporaries that killed saves left behind are cleared.
#include "platform/safe_file_writer.h"

#include "support/capped_child.h"
#include "support/system_reason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {
namespace {

constexpr std::uint64_t cap = 1024;
// Qt's save file kept up to 16 KB in its buffer: both sides of that size are tried.
constexpr int smallPayload = 3000;
constexpr int largePayload = 40000;

QByteArray pattern(int size, char seed) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char(seed + i * 7);
    return bytes;
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// In a capped child: 0 when the write failed with EFBIG, 1 when it claimed success.
int cappedWrite(const QString& path, const QByteArray& bytes, WriteMode mode, std::string& note) {
    const auto failure = writeFileSafely(path, std::span(bytes.constData(), size_t(bytes.size())), mode);
    if (!failure) return 1;
    note = failure->reason.toStdString();
    return failure->errorNumber == EFBIG ? 0 : 2;
}

TEST(SafeFileWriter, AWriteThatFailsKeepsTheEarlierFileAndLeavesNoTemporary) {
    for (const int size : {smallPayload, largePayload}) {
        SCOPED_TRACE(size);
        QTemporaryDir dir;
        const QString path = dir.filePath("calculator.json");
        const QByteArray earlier = pattern(2000, 'a');
        put(path, earlier);
        const QByteArray next = pattern(size, 'b');
        const auto outcome = test::runWithFileSizeCap(
            cap, [&](std::string& note) { return cappedWrite(path, next, WriteMode::replace, note); });
        EXPECT_EQ(outcome.exitCode, 0) << outcome.note;
        EXPECT_EQ(outcome.note, test::systemReason(EFBIG).toStdString());
        EXPECT_EQ(contents(path), earlier);
        EXPECT_EQ(entries(dir.path()), QStringList{"calculator.json"});

        // A new file that cannot be written is not left behind cut short either.
        const QString fresh = dir.filePath("fresh.15c");
        for (const WriteMode mode : {WriteMode::replace, WriteMode::newOnly}) {
            const auto created = test::runWithFileSizeCap(
                cap, [&](std::string& note) { return cappedWrite(fresh, next, mode, note); });
            EXPECT_EQ(created.exitCode, 0) << created.note;
            EXPECT_EQ(entries(dir.path()), QStringList{"calculator.json"});
        }

        // Without the cap the same write replaces the file as a whole.
        EXPECT_EQ(writeFileSafely(path, std::span(next.constData(), size_t(next.size()))), std::nullopt);
        EXPECT_EQ(contents(path), next);
    }
}

TEST(SafeFileWriter, ReplacingKeepsTheFilesPermissionsAndItsSymbolicLink) {
    QTemporaryDir dir;
    const QString real = dir.filePath("real.txt");
    const QString link = dir.filePath("link.txt");
    put(real, "old");
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(real, link));
    const QByteArray next = "new contents";
    ASSERT_EQ(writeFileSafely(link, std::span(next.constData(), size_t(next.size()))), std::nullopt);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(real), next);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    // A file made read-only is not replaced. Root may write anyway: the write is made
    // by an unprivileged user then, who owns the folder and the file.
    ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0440), 0);
    if (::geteuid() == 0) {
        for (const QString& path : {dir.path(), real, link})
            ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), test::unprivilegedId, test::unprivilegedId), 0);
    }
    const auto refused = test::runUnprivileged([&](std::string& note) {
        const auto failure = writeFileSafely(real, std::span(next.constData(), 3));
        if (!failure) return 1;
        note = failure->reason.toStdString();
        return failure->errorNumber == EACCES ? 0 : 2;
    });
    EXPECT_EQ(refused.exitCode, 0) << refused.note;
    EXPECT_EQ(contents(real), next);
}

TEST(SafeFileWriter, NewOnlyNeverReplacesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("HP-15C calculator.15c");
    const QByteArray first = pattern(2048, 1);
    const QByteArray second = pattern(2048, 2);
    ASSERT_EQ(writeFileSafely(path, std::span(first.constData(), 2048), WriteMode::newOnly), std::nullopt);
    const auto failure = writeFileSafely(path, std::span(second.constData(), 2048), WriteMode::newOnly);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->errorNumber, EEXIST);
    EXPECT_EQ(failure->reason, test::systemReason(EEXIST));
    EXPECT_EQ(contents(path), first);
    EXPECT_EQ(entries(dir.path()), QStringList{"HP-15C calculator.15c"});
}

TEST(SafeFileWriter, RemovesOnlyTheTemporariesThatKilledSavesOfThatFileLeft) {
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.orvanedoc");
    const QString prefix = safeWriteTemporaryPrefix(path);
    const QString otherPrefix = safeWriteTemporaryPrefix(dir.filePath("other.orvanedoc"));
    EXPECT_TRUE(prefix.startsWith(".notes.orvanedoc"));
    const QStringList kept = {
        otherPrefix + "AbC123",       // another file's
        prefix + "AbC12",             // not the pattern: too short
        prefix + "AbC1234",           // too long
        prefix + "AbC-12",            // not letters and digits
        prefix.mid(1) + "AbC123",     // not hidden: not ours
        prefix + "Held99",            // a save still running holds it
    };
    const QString abandoned = prefix + "AbC123";
    for (const QString& name : kept + QStringList{abandoned}) put(dir.filePath(name), "partial");
    const int held = ::open(QFile::encodeName(dir.filePath(prefix + "Held99")).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    const QByteArray bytes = "{}";
    ASSERT_EQ(writeFileSafely(path, std::span(bytes.constData(), 2)), std::nullopt);
    ::close(held);

    QStringList expected = kept;
    expected << "notes.orvanedoc";
    expected.sort();
    EXPECT_EQ(entries(dir.path()), expected);

    // A very long name still gives a temporary name the file system takes.
    const QString longName = dir.filePath(QString(250, u'n') + ".pdf");
    EXPECT_EQ(writeFileSafely(longName, std::span(bytes.constData(), 2)), std::nullopt);
    EXPECT_EQ(contents(longName), bytes);
}

} // namespace
} // namespace tw
