#include "app/memory_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <limits>

namespace tw {

std::variant<MemoryFile, FileReadError> MemoryFile::read(const QString& path) {
    FileRead result = readFileUpTo(path, std::numeric_limits<qint64>::max() - 1);
    if (result.error) return *result.error;
    return MemoryFile{std::vector<uint8_t>(result.data.begin(), result.data.end())};
}

std::optional<QString> MemoryFile::write(const QString& path) const {
    QSaveFile file(path);
    const QString name = QFileInfo(path).fileName();
    const auto size = qint64(data.size());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(data.data()), size) != size || !file.commit())
        return QStringLiteral("“%1” could not be saved: %2.").arg(name, file.errorString());
    return std::nullopt;
}

} // namespace tw
