#include "platform/settings_file.h"

#include "platform/file_checks.h"
#include "platform/ini_settings_text.h"
#include "platform/settings_file_format.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

namespace tw {

// The writing thread and what it shares with the main thread, under one lock.
struct SettingsFile::Writer {
    struct Job {
        Entries settings;
        quint64 generation = 0;
    };
    struct Outcome {
        quint64 generation = 0;
        std::optional<WriteFailure> failure;
    };

    std::mutex mutex;
    std::condition_variable wake; // a job or the end, for the thread
    std::condition_variable idle; // a job done, for writePending()
    std::optional<Job> job;       // the newest settings not yet taken by the thread
    bool writing = false;
    bool stopping = false;
    std::optional<Outcome> outcome; // the newest write done, not yet seen by the main thread
    std::thread thread;
};

std::optional<WriteFailure> writeSettingsText(const QString& path, const QSettings::SettingsMap& settings) {
    const QString folder = QFileInfo(path).absolutePath();
    errno = 0;
    if (!QDir().mkpath(folder)) {
        const int error = errno != 0 ? errno : EACCES;
        return WriteFailure{error, qt_error_string(error)};
    }
    const QByteArray text = encodeIniSettings(settings);
    return writeFileSafely(path, std::span(text.constData(), size_t(text.size())));
}

SettingsFile::SettingsFile(QString path, MainThreadExecutor main, std::function<void(const QString&)> log)
    : path_(std::move(path)), log_(std::move(log)), timer_(std::make_unique<QTimer>()),
      writer_(std::make_shared<Writer>()) {
    // A file that cannot be read gives no settings, as with Qt's own settings files.
    if (const FileRead read = readFileUpTo(path_, maximumSettingsFileSize); read.ok()) {
        QSettings::SettingsMap values;
        decodeIniSettings(read.data, values);
        for (auto it = values.cbegin(); it != values.cend(); ++it) settings_.insert(it.key(), Entry{it.value(), {}});
    }

    timer_->setSingleShot(true);
    timer_->setInterval(writeDelayMs);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { handToWriter(); });

    Writer* writer = writer_.get(); // lives until the thread is joined
    writer->thread = std::thread([writer, weak = std::weak_ptr<Writer>(writer_), main = std::move(main), this,
                                  path = path_] {
        for (;;) {
            Writer::Job job;
            {
                std::unique_lock lock(writer->mutex);
                writer->wake.wait(lock, [writer] { return writer->stopping || writer->job; });
                if (!writer->job) return;
                job = std::move(*writer->job);
                writer->job.reset();
                writer->writing = true;
            }
            auto failure = write(path, job.settings);
            job.settings.clear(); // the last copy of replaced values goes here, not on the main thread
            {
                std::lock_guard lock(writer->mutex);
                writer->outcome = Writer::Outcome{job.generation, std::move(failure)};
                writer->writing = false;
            }
            writer->idle.notify_all();
            // The main thread learns of it when it next runs its queue; by then the
            // settings may be gone (this answer then finds no writer).
            main([weak, this] {
                if (weak.lock()) takeOutcome();
            });
        }
    });
}

SettingsFile::~SettingsFile() {
    writePending();
    {
        std::lock_guard lock(writer_->mutex);
        writer_->stopping = true;
    }
    writer_->wake.notify_all();
    writer_->thread.join();
}

QVariant SettingsFile::Entry::resolved() const { return produce ? (*produce)() : value; }

QSettings::SettingsMap SettingsFile::resolved(const Entries& entries) {
    QSettings::SettingsMap values;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) values.insert(it.key(), it->resolved());
    return values;
}

std::optional<WriteFailure> SettingsFile::write(const QString& path, const Entries& entries) {
    try {
        return writeSettingsText(path, resolved(entries));
    } catch (const std::bad_alloc&) {
        // Making a value took more memory than there is: the earlier file stays.
        return WriteFailure{ENOMEM, qt_error_string(ENOMEM)};
    }
}

QString SettingsFile::normalizedKey(const QString& key) {
    QString normal;
    normal.reserve(key.size());
    for (const QChar c : key) {
        if (c == u'/' && (normal.isEmpty() || normal.back() == u'/')) continue;
        normal += c;
    }
    if (normal.endsWith(u'/')) normal.chop(1);
    return normal;
}

QVariant SettingsFile::value(const QString& key) const {
    const QString normal = normalizedKey(key);
    if (normal.isEmpty()) return {};
    const auto it = settings_.constFind(normal);
    return it == settings_.cend() ? QVariant() : it->resolved();
}

void SettingsFile::setValue(const QString& key, const QVariant& value) {
    settings_.insert(normalizedKey(key), Entry{value, {}});
    changed();
}

void SettingsFile::setValueLazily(const QString& key, std::function<QVariant()> produce) {
    settings_.insert(normalizedKey(key), Entry{{}, std::make_shared<const std::function<QVariant()>>(std::move(produce))});
    changed();
}

void SettingsFile::remove(const QString& key) {
    const QString normal = normalizedKey(key);
    const QString below = normal + u'/';
    for (auto it = settings_.begin(); it != settings_.end();) {
        if (it.key() == normal || it.key().startsWith(below)) it = settings_.erase(it);
        else ++it;
    }
    changed();
}

void SettingsFile::changed() {
    ++changes_;
    // Every change puts the write off again: typing ends in one write.
    timer_->start();
}

void SettingsFile::handToWriter() {
    {
        std::lock_guard lock(writer_->mutex);
        // A copy that shares the values: the thread reads them while this one goes on changing its own.
        writer_->job = Writer::Job{settings_, changes_};
    }
    writer_->wake.notify_all();
}

void SettingsFile::takeOutcome() {
    std::optional<Writer::Outcome> outcome;
    {
        std::lock_guard lock(writer_->mutex);
        outcome.swap(writer_->outcome);
    }
    if (outcome) note(outcome->generation, outcome->failure);
}

void SettingsFile::note(quint64 generation, const std::optional<WriteFailure>& failure) {
    if (failure) {
        // The changes stay pending; the next change (or writePending) writes them again.
        if (!failing_) log_(QStringLiteral("Tarnwick: could not save the settings: ") + failure->reason);
        failing_ = true;
        return;
    }
    failing_ = false;
    written_ = std::max(written_, generation);
}

std::optional<WriteFailure> SettingsFile::writePending() {
    timer_->stop();
    {
        std::unique_lock lock(writer_->mutex);
        // A job the thread has not taken yet is written here instead, with what is newer.
        writer_->job.reset();
        writer_->idle.wait(lock, [this] { return !writer_->writing; });
    }
    takeOutcome();
    if (!hasPendingChanges()) return std::nullopt;
    const quint64 generation = changes_;
    auto failure = write(path_, settings_);
    note(generation, failure);
    return failure;
}

} // namespace tw
