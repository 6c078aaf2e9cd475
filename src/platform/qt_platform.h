// The desktop as the application meets it on Linux: QSettings of "Tarnwick",
// the XDG folders, syslog and the file manager over D-Bus.
#pragma once

#include "platform/main_queue.h"
#include "platform/platform.h"

#include <QSettings>

#include <memory>

namespace tw {

class QtPlatform final : public Platform {
public:
    // Create on the main thread after the QCoreApplication; names the application
    // "Tarnwick" (organisation and application) when it has no name yet.
    QtPlatform();
    ~QtPlatform() override;

    QVariant setting(const QString& key) const override;
    void setSetting(const QString& key, const QVariant& value) override;
    void removeSetting(const QString& key) override;
    QString appDataFolder() const override;
    QString homeFolder() const override;
    QString documentsFolder() const override;
    MainThreadExecutor mainExecutor() override;
    void log(const QString& line) override;
    bool revealFile(const QString& path) override;

private:
    std::unique_ptr<QSettings> settings_;
    MainQueue queue_;
};

} // namespace tw
