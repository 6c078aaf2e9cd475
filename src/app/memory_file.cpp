#include "app/memory_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <limits>

namespace tw {

std::variant<MemoryFile, FileReadError> MemoryFile::read(const QString& path) {
    FileRead result = readFileUpTo(path, std::numeric_limits<qint64>::max() - 1);
    if (result.error) return *result.error;
    return MemoryFile{std::move(result.data)};
}

std::optional<QString> MemoryFile::write(const QString& path) const {
    QSaveFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("“%1” could not be saved: %2.").arg(name, file.errorString());
    if (file.write(data) != data.size() || !file.commit())
        return QStringLiteral("“%1” could not be saved: %2.").arg(name, file.errorString());
    return std::nullopt;
}

} // namespace tw
