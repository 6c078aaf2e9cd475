#include "app/memory_file.h"

#include "platform/safe_file_writer.h"

#include <QFileInfo>

#include <limits>

namespace tw {

std::variant<MemoryFile, FileReadError> MemoryFile::read(const QString& path) {
    FileRead result = readFileUpTo(path, std::numeric_limits<qint64>::max() - 1);
    if (result.error) return *result.error;
    return MemoryFile{std::vector<uint8_t>(result.data.begin(), result.data.end())};
}

std::optional<QString> MemoryFile::write(const QString& path) const {
    const auto failure = writeFileSafely(path, std::span(reinterpret_cast<const char*>(data.data()), data.size()));
    if (!failure) return std::nullopt;
    return QStringLiteral("“%1” could not be saved: %2.").arg(QFileInfo(path).fileName(), failure->reason);
}

} // namespace tw
