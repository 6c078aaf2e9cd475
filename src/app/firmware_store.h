// The firmware file the user chose, remembered as a file reference and the
// file's name in the settings.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tw {

class Platform;

class FirmwareStore {
public:
    FirmwareStore(Platform& platform, QString bookmarkKey = QStringLiteral("firmwareBookmark"),
                  QString nameKey = QStringLiteral("firmwareName"))
        : defaults_(platform), bookmarkKey_(std::move(bookmarkKey)), nameKey_(std::move(nameKey)) {}

    // The stored name and the bytes of the remembered file; nothing when either key is
    // missing or the file cannot be found or read. Never fails; the keys stay.
    std::optional<std::pair<QString, std::vector<uint8_t>>> load() const;

    Platform& defaults() const { return defaults_; }
    const QString& bookmarkKey() const { return bookmarkKey_; }
    const QString& nameKey() const { return nameKey_; }

private:
    Platform& defaults_;
    QString bookmarkKey_;
    QString nameKey_;
};

} // namespace tw
