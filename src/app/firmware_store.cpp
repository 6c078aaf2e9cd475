#include "app/firmware_store.h"

#include "platform/file_checks.h"
#include "platform/platform.h"

namespace tw {

std::optional<std::pair<QString, std::vector<uint8_t>>> FirmwareStore::load() const {
    const QVariant name = defaults_.setting(nameKey_);
    if (!name.isValid()) return std::nullopt;
    const QVariant reference = defaults_.setting(bookmarkKey_);
    if (!reference.isValid()) return std::nullopt;
    // A reference that no longer resolves stays stored: the next start tries again.
    const std::optional<QString> path = Platform::resolveFileReference(reference.toByteArray());
    if (!path) return std::nullopt;
    // Read at every start on the main thread: a FIFO put in the file's place must not
    // hold the start, nor a huge file fill memory. Either is no firmware.
    const FileRead read = readFileUpTo(*path, maximumFirmwareFileSize);
    if (!read.ok()) return std::nullopt;
    return std::pair{name.toString(), std::vector<uint8_t>(read.data.begin(), read.data.end())};
}

} // namespace tw
