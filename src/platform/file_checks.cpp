#include "platform/file_checks.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileReadError systemError(FileReadError::Kind kind, const QString& path, int code, qint64 size = -1) {
    const QString name = QFileInfo(path).fileName();
    const QString reason = qt_error_string(code);
    const QString text = kind == FileReadError::Kind::cannotOpen
                             ? QStringLiteral("“%1” could not be opened: %2.").arg(name, reason)
                             : QStringLiteral("“%1” could not be read: %2.").arg(name, reason);
    return {kind, size, text};
}

FileRead failed(FileReadError error) {
    return {QByteArray(), std::move(error)};
}

// Reads a regular file whose size lies in [minSize, maxSize].
FileRead readChecked(const QString& path, qint64 minSize, qint64 maxSize) {
    const QByteArray native = QFile::encodeName(path);
    // What is plainly no regular file is not even opened: opening a device or a FIFO
    // can have effects of its own. Whatever fails here is reported by the open below.
    if (struct stat before {}; ::stat(native.constData(), &before) == 0 && !S_ISREG(before.st_mode))
        return failed({FileReadError::Kind::notRegular, -1, {}});
    // O_NONBLOCK: should a FIFO take the file's place meanwhile, the open must not
    // wait for a writer; the check on the descriptor then refuses it.
    Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) return failed(systemError(FileReadError::Kind::cannotOpen, path, errno));

    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return failed(systemError(FileReadError::Kind::readFailed, path, errno));
    if (!S_ISREG(info.st_mode)) return failed({FileReadError::Kind::notRegular, -1, {}});

    const qint64 size = info.st_size;
    if (size > maxSize) {
        const auto kind = minSize == maxSize ? FileReadError::Kind::wrongSize : FileReadError::Kind::tooLarge;
        return failed({kind, size, {}});
    }
    if (size < minSize) return failed({FileReadError::Kind::wrongSize, size, {}});

    // Read one byte more than the size found, so that a file that changes under us
    // is caught rather than cut.
    QByteArray data(size + 1, Qt::Uninitialized);
    qint64 got = 0;
    while (got < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + got, size_t(data.size() - got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(systemError(FileReadError::Kind::readFailed, path, errno, size));
        }
        if (n == 0) break;
        got += n;
    }
    // A file that grew or shrank since its size was taken is being written to: what
    // was read is no whole file, so it is refused rather than cut.
    if (got != size) {
        return failed({FileReadError::Kind::readFailed, size,
                       QStringLiteral("“%1” could not be read: it changed while it was being read.")
                           .arg(QFileInfo(path).fileName())});
    }
    data.truncate(got);
    return {std::move(data), std::nullopt};
}

} // namespace

FileRead readFileOfSize(const QString& path, qint64 size) {
    return readChecked(path, size, size);
}

FileRead readFileUpTo(const QString& path, qint64 maxSize) {
    return readChecked(path, 0, maxSize);
}

} // namespace tw
