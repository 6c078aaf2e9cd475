// What the application takes from the desktop: settings, its folders, the main
// thread, the system log, remembered file references and the file manager.
// QtPlatform is the real one; tests use MemoryPlatform.
#pragma once

#include "platform/safe_file_writer.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace tw {

using MainThreadExecutor = std::function<void(std::function<void()>)>;

class Platform {
public:
    virtual ~Platform() = default;

    // Settings. An absent key reads as an invalid QVariant.
    virtual QVariant setting(const QString& key) const = 0;
    virtual void setSetting(const QString& key, const QVariant& value) = 0;
    virtual void removeSetting(const QString& key) = 0;
    // A setting whose value is costly to make (program notes, on every keystroke):
    // `produce` runs when the value is needed, possibly on another thread, and must
    // only read what it holds. This one makes the value at once.
    virtual void setSettingLazily(const QString& key, std::function<QVariant()> produce) {
        setSetting(key, produce());
    }
    // Changed settings are written a moment after the last change, away from the
    // main thread. This writes those not written yet (after a write under way) and
    // answers why that failed; nothing when every change is written.
    virtual std::optional<WriteFailure> writePendingSettings() = 0;

    // The application's own data folder (it may not exist yet).
    virtual QString appDataFolder() const = 0;
    // The user's home folder and documents folder.
    virtual QString homeFolder() const = 0;
    virtual QString documentsFolder() const = 0;

    // Runs closures on the main thread, later and in order. The executor may be
    // copied to and called from any thread while the platform exists.
    virtual MainThreadExecutor mainExecutor() = 0;

    // One line to the system log, as plain text.
    virtual void log(const QString& line) = 0;

    // Shows the file in the file manager (or at least its folder); false when
    // nothing on the desktop could show it.
    virtual bool revealFile(const QString& path) = 0;

    // A reference to a file or folder that survives restarts: its absolute path.
    static QByteArray fileReference(const QString& path);
    // The path a stored reference stands for, or nothing when it no longer resolves
    // to an existing file or folder (the caller keeps it stored and tries again later).
    static std::optional<QString> resolveFileReference(const QByteArray& reference);
};

} // namespace tw
