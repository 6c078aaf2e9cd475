// Reading files that the user hands us. Whether a path names a regular file of an
// acceptable size is settled on the open descriptor before a byte is read, so that
// a FIFO or a device never blocks the caller and a huge file never fills memory.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tw {

struct FileReadError {
    enum class Kind {
        cannotOpen, // the system refused to open it (missing, no permission, ...)
        notRegular, // a folder, FIFO, socket or device
        wrongSize,  // a regular file whose size is not the one required
        tooLarge,   // a regular file beyond the limit asked for
        readFailed, // the system failed while reading
    };

    Kind kind = Kind::cannotOpen;
    qint64 size = -1;    // the file's size, when it is a regular file
    QString description; // the system's text, with the file's name, for cannotOpen and readFailed

    bool operator==(const FileReadError&) const = default;
};

struct FileRead {
    QByteArray data;
    std::optional<FileReadError> error;

    bool ok() const { return !error; }
};

// Far above what a firmware or notes file can be; anything larger is refused unread.
inline constexpr qint64 maximumFirmwareFileSize = 4 * 1024 * 1024;
inline constexpr qint64 maximumNotesFileSize = 16 * 1024 * 1024;
// The two documentation fonts weigh tens of kilobytes; even a font with every
// script of Unicode stays far below this.
inline constexpr qint64 maximumFontFileSize = 32 * 1024 * 1024;

// The whole file, only when it is a regular file of exactly `size` bytes.
FileRead readFileOfSize(const QString& path, qint64 size);

// The whole file, only when it is a regular file of at most `maxSize` bytes.
FileRead readFileUpTo(const QString& path, qint64 maxSize);

} // namespace tw
