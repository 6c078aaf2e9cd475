#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>

namespace tw {

QByteArray Platform::fileReference(const QString& path) {
    return QFileInfo(path).absoluteFilePath().toUtf8();
}

std::optional<QString> Platform::resolveFileReference(const QByteArray& reference) {
    if (reference.isEmpty()) return std::nullopt;
    const QString path = QString::fromUtf8(reference);
    if (!QDir::isAbsolutePath(path)) return std::nullopt;
    const QFileInfo info(path);
    if (!info.exists()) return std::nullopt;
    return info.absoluteFilePath();
}

} // namespace tw
