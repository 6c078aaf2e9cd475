// Files that are no proper files, put where the application reads by itself: a FIFO
// that no writer ever opens and a sparse file of 3 GB, with a watch that fails a
// read that waits for the one or reads the other instead of hanging the test.
#pragma once

#include "support/bytes_read.h"
#include "support/hang_watch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::test {

inline constexpr qint64 kSparseSize = qint64(3) << 30;

// A FIFO at the path (folders made as needed).
inline QString makeFifo(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
    return path;
}

// A sparse file of 3 GB at the path: no disk space, but reading it would fill memory.
inline QString makeSparseFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    EXPECT_GE(fd, 0) << path.toStdString();
    EXPECT_EQ(::ftruncate(fd, kSparseSize), 0);
    ::close(fd);
    return path;
}

// Watches what the application does with files that are no proper files while it
// lives: a read that blocks on one of the FIFOs is freed after the hang limit (a
// writer opens and closes them), so that the test fails rather than hangs; and the
// bytes read meanwhile are counted, which a huge file read whole would show however
// fast the machine reads it.
class ReadWatch {
public:
    explicit ReadWatch(QStringList fifos) : hang_([fifos] { openForWriting(fifos); }) {}

    // Neither blocked on a FIFO nor read a huge file.
    ::testing::AssertionResult passedOver() const {
        if (hang_.fired()) return ::testing::AssertionFailure() << "a read waited for a writer of a FIFO";
        const long long read = bytesReadSoFar() - before_;
        if (read >= kSparseSize / 10) return ::testing::AssertionFailure() << read << " bytes were read";
        return ::testing::AssertionSuccess();
    }

private:
    static void openForWriting(const QStringList& fifos) {
        for (const QString& fifo : fifos) {
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) ::close(fd);
        }
    }

    const long long before_ = bytesReadSoFar();
    HangWatch hang_;
};

} // namespace tw::test
