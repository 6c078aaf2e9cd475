// Files that are no proper files, put where the application reads by itself: a FIFO
// that no writer ever opens and a sparse file of 3 GB, with a watch that fails a
// read that waits for them instead of hanging the test.
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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

// While it lives, and once `limit` has passed: notes that the time ran out and keeps
// opening the FIFOs for writing and closing them again, so that a reader blocked on
// one of them gets an end of file and the test goes on to fail rather than hang.
class Deadline {
public:
    Deadline(std::chrono::milliseconds limit, QStringList fifos)
        : fifos_(std::move(fifos)), watch_([this, limit] { run(limit); }) {}
    ~Deadline() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        watch_.join();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    bool passed() const { return passed_; }

private:
    void run(std::chrono::milliseconds limit) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, limit, [this] { return done_; })) return;
        passed_ = true;
        while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return done_; })) {
            for (const QString& fifo : fifos_) {
                const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) ::close(fd);
            }
        }
    }

    QStringList fifos_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> passed_{false};
    std::thread watch_; // last: starts once the rest is set up
};

} // namespace tw::test
