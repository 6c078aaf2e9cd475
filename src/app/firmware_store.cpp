#include "app/firmware_store.h"

#include "platform/platform.h"

#include <QFile>

namespace tw {

std::optional<std::pair<QString, std::vector<uint8_t>>> FirmwareStore::load() const {
    const QVariant name = defaults_.setting(nameKey_);
    if (!name.isValid()) return std::nullopt;
    const QVariant reference = defaults_.setting(bookmarkKey_);
    if (!reference.isValid()) return std::nullopt;
    // A reference that no longer resolves stays stored: the next start tries again.
    const std::optional<QString> path = Platform::resolveFileReference(reference.toByteArray());
    if (!path) return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    return std::pair{name.toString(), std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

} // namespace tw
