// The one way the program writes a file: a temporary beside it, flushed, checked and synced, then moved into place.
#pragma once

#include <QString>

#include <optional>
#include <span>

namespace tw {

enum class WriteMode {
    replace, // the file is created or replaced as a whole
    newOnly, // the file is created; an existing one is never touched (the write fails with EEXIST)
};

// Why a write failed: the system's error number and its text ("No space left on device").
struct WriteFailure {
    int errorNumber = 0;
    QString reason;
};

// Writes the bytes to `path`. The bytes go to a temporary file of the writer's own
// pattern in the same folder, are flushed and synced, and only then take the
// target's name (and the folder is synced). On any failure the temporary is removed
// and an earlier file at `path` is left byte for byte as it was. Temporaries of this
// pattern for the same target that a killed save left behind are removed first.
std::optional<WriteFailure> writeFileSafely(const QString& path, std::span<const char> bytes,
                                            WriteMode mode = WriteMode::replace);

// The prefix of the temporaries written for `path` (in its folder); the writer adds
// six random letters or digits.
QString safeWriteTemporaryPrefix(const QString& path);

} // namespace tw
