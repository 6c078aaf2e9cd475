// The settings of one settings file, held in memory: read once when opened, and
// written whole through the safe writer on a thread of its own shortly after the
// last change, so that a burst of changes (typing in the notes) is one write and
// the main thread never waits for the disk. Changes that could not be written stay
// pending: the next change writes them again, and so does writePending().
#pragma once

#include "platform/platform.h"
#include "platform/safe_file_writer.h"

#include <QMap>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace tw {

class SettingsFile {
public:
    // How long after the last change the file is written.
    static constexpr int writeDelayMs = 500;

    // Reads the file at `path` (a file that is missing or cannot be read gives no
    // settings). `main` runs the writer's answers on the main thread; `log` takes
    // a line for the system log. Create and use on the main thread.
    SettingsFile(QString path, MainThreadExecutor main, std::function<void(const QString&)> log);
    // Writes what is still pending, as writePending() does.
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // An absent (or empty) key reads as an invalid QVariant.
    QVariant value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    // A value that is costly to make (program notes on every keystroke): `produce`
    // runs only when the value is needed, mostly on the writer's thread, and may run
    // there while this thread goes on. It must only read what it holds.
    void setValueLazily(const QString& key, std::function<QVariant()> produce);
    // Removes the key and every key below it ("key/…").
    void remove(const QString& key);

    // A key as lookups take it, as in Qt's settings: no slash at either end, none
    // twice in a row ("/a//b/" is "a/b"). Keys read from the file are kept as written.
    static QString normalizedKey(const QString& key);

    // Waits for a write under way, then writes the changes that are not in the file
    // yet, on this thread. Answers why that write failed; nothing when every change
    // is in the file.
    std::optional<WriteFailure> writePending();
    // Changes that are not known to be in the file: not written yet, being written,
    // or refused by the last write.
    bool hasPendingChanges() const { return written_ != changes_; }

private:
    struct Writer;
    // A value, or what makes it.
    struct Entry {
        QVariant value;
        std::shared_ptr<const std::function<QVariant()>> produce;
        QVariant resolved() const;
    };
    using Entries = QMap<QString, Entry>;
    static QSettings::SettingsMap resolved(const Entries& entries);
    static std::optional<WriteFailure> write(const QString& path, const Entries& entries);

    void changed();
    void handToWriter();
    void takeOutcome();
    void note(quint64 generation, const std::optional<WriteFailure>& failure);

    QString path_;
    std::function<void(const QString&)> log_;
    Entries settings_;
    quint64 changes_ = 0; // the number of the latest change
    quint64 written_ = 0; // the latest change known to be in the file
    bool failing_ = false; // the last write failed (logged once until one succeeds)
    std::unique_ptr<QTimer> timer_;
    std::shared_ptr<Writer> writer_;
};

// Writes the settings as INI text to `path`, creating its folder; why it failed, if it did.
std::optional<WriteFailure> writeSettingsText(const QString& path, const QSettings::SettingsMap& settings);

} // namespace tw
