// The desktop as the application meets it on Linux: the settings file of
// "Tarnwick", the XDG folders, syslog and the file manager over D-Bus.
#pragma once

#include "platform/main_queue.h"
#include "platform/platform.h"
#include "platform/settings_file.h"

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
    void setSettingLazily(const QString& key, std::function<QVariant()> produce) override;
    std::optional<WriteFailure> writePendingSettings() override;
    QString appDataFolder() const override;
    QString homeFolder() const override;
    QString documentsFolder() const override;
    MainThreadExecutor mainExecutor() override;
    void log(const QString& line) override;
    bool revealFile(const QString& path) override;

private:
    MainQueue queue_;
    std::unique_ptr<SettingsFile> settings_; // goes first: its writer's answers go through the queue
};

} // namespace tw
