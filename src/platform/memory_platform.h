// A platform held in memory, for tests: settings in a map, folders under a
// scratch folder, the log and revealed files recorded. Its main executor runs
// closures through the Qt event loop as the real one does.
#pragma once

#include "platform/main_queue.h"
#include "platform/platform.h"

#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <mutex>

namespace tw {

class MemoryPlatform final : public Platform {
public:
    // Folders under `root`; a fresh scratch folder when empty.
    explicit MemoryPlatform(const QString& root = {});
    ~MemoryPlatform() override;

    QVariant setting(const QString& key) const override;
    void setSetting(const QString& key, const QVariant& value) override;
    void removeSetting(const QString& key) override;
    // Answers the failure set below, if any (the settings stay as set).
    std::optional<WriteFailure> writePendingSettings() override { return settingsFailure_; }
    QString appDataFolder() const override;
    QString homeFolder() const override;
    QString documentsFolder() const override;
    MainThreadExecutor mainExecutor() override;
    void log(const QString& line) override;
    // Records the path; answers whether a file manager is there (see below).
    bool revealFile(const QString& path) override;

    const QString& root() const { return root_; }
    QStringList logLines() const;
    QStringList revealed() const { return revealed_; }
    // A desktop without a file manager or folder opener: revealing shows nothing.
    void setFileManagerPresent(bool present) { fileManagerPresent_ = present; }
    QMap<QString, QVariant> settings() const { return settings_; }
    // Settings writes fail with this until it is cleared, as on a full disk.
    void setSettingsFailure(std::optional<WriteFailure> failure) { settingsFailure_ = std::move(failure); }
    // Runs the closures waiting for the main thread now.
    void drainMainQueue() { queue_.drain(); }

private:
    std::unique_ptr<QTemporaryDir> scratch_;
    QString root_;
    QMap<QString, QVariant> settings_;
    mutable std::mutex logMutex_;
    QStringList log_;
    QStringList revealed_;
    bool fileManagerPresent_ = true;
    std::optional<WriteFailure> settingsFailure_;
    MainQueue queue_;
};

} // namespace tw
