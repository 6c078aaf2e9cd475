#include "platform/safe_file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

constexpr const char* temporaryMark = ".tw-save-";
constexpr int randomLength = 6;
constexpr int maximumNameBytes = 255;
constexpr int maximumCreateAttempts = 100;
constexpr const char* randomLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

WriteFailure failure(int errorNumber) { return {errorNumber, qt_error_string(errorNumber)}; }

// Owns one file descriptor.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; the error number of a failed close, else 0.
    int close() {
        const int fd = fd_;
        fd_ = -1;
        // On Linux the descriptor is gone even when close reports EINTR.
        return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int fd_;
};

// The file a write to `path` lands in: a symbolic link keeps pointing at it.
QString finalTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

bool isTemporaryName(const QByteArray& name, const QByteArray& prefix) {
    if (!name.startsWith(prefix) || name.size() != prefix.size() + randomLength) return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        const bool alphanumeric = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alphanumeric) return false;
    }
    return true;
}

// Removes the temporaries of this target that no running save holds: a save keeps
// its temporary locked until it ends, so a lock we can take belongs to a dead one.
void removeAbandonedTemporaries(const QByteArray& folder, const QByteArray& prefix) {
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) return;
    const int scanFd = ::dup(dir.get());
    if (scanFd < 0) return;
    DIR* stream = ::fdopendir(scanFd);
    if (!stream) {
        ::close(scanFd);
        return;
    }
    while (const dirent* entry = ::readdir(stream)) {
        const QByteArray name(entry->d_name);
        if (!isTemporaryName(name, prefix)) continue;
        Descriptor file(::openat(dir.get(), name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (!file.valid() || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) continue;
        ::unlinkat(dir.get(), name.constData(), 0);
    }
    ::closedir(stream);
}

QByteArray randomSuffix() {
    QByteArray suffix(randomLength, '0');
    for (char& c : suffix) c = randomLetters[QRandomGenerator::global()->bounded(62)];
    return suffix;
}

// Moves the finished temporary to the target's name; in newOnly mode never over an existing file.
int moveIntoPlace(const QByteArray& temporary, const QByteArray& target, WriteMode mode) {
    if (mode == WriteMode::replace) return ::rename(temporary.constData(), target.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the no-replace rename: a hard link fails the same way on an existing name.
    if (::link(temporary.constData(), target.constData()) != 0) return errno;
    ::unlink(temporary.constData());
    return 0;
}

} // namespace

QString safeWriteTemporaryPrefix(const QString& path) {
    QString name = QFileInfo(path).fileName();
    const int fixed = 1 + int(qstrlen(temporaryMark)) + randomLength;
    // Long names are cut so that the temporary's name stays within the file system's limit.
    while (!name.isEmpty() && QFile::encodeName(name).size() + fixed > maximumNameBytes) name.chop(1);
    return QLatin1Char('.') + name + QLatin1String(temporaryMark);
}

std::optional<WriteFailure> writeFileSafely(const QString& path, std::span<const char> bytes, WriteMode mode) {
    const QString targetPath = finalTarget(path);
    const QFileInfo targetInfo(targetPath);
    const QByteArray target = QFile::encodeName(targetPath);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    const QByteArray prefix = QFile::encodeName(safeWriteTemporaryPrefix(targetPath));

    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && mode == WriteMode::newOnly) return failure(EEXIST);
    // A file the user made read-only is not replaced behind their back.
    if (exists && ::access(target.constData(), W_OK) != 0) return failure(errno);

    removeAbandonedTemporaries(folder, prefix);

    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; attempt < maximumCreateAttempts && !file.valid(); ++attempt) {
        temporary = folder + '/' + prefix + randomSuffix();
        file.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!file.valid() && errno != EEXIST) return failure(errno);
    }
    if (!file.valid()) return failure(EEXIST);

    const auto abandon = [&](int errorNumber) {
        ::unlink(temporary.constData());
        return failure(errorNumber);
    };
    // Held until the descriptor closes: tells a later save that this temporary is in use.
    ::flock(file.get(), LOCK_EX | LOCK_NB);
    if (exists && ::fchmod(file.get(), existing.st_mode & 07777) != 0) return abandon(errno);

    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        done += size_t(written);
    }
    // EINVAL: a file system without sync; what write() took is all there is to check.
    if (::fsync(file.get()) != 0 && errno != EINVAL) return abandon(errno);
    if (const int error = file.close(); error != 0) return abandon(error);

    if (const int error = moveIntoPlace(temporary, target, mode); error != 0) return abandon(error);

    // The new name is in place; syncing the folder makes it survive a power cut. When
    // that fails the earlier file is what a crash would leave, which is still whole.
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) ::fsync(dir.get());
    return std::nullopt;
}

} // namespace tw
