#include "platform/memory_platform.h"

#include <QDir>

namespace tw {

MemoryPlatform::MemoryPlatform(const QString& root) {
    if (root.isEmpty()) {
        scratch_ = std::make_unique<QTemporaryDir>();
        root_ = scratch_->path();
    } else {
        root_ = QDir(root).absolutePath();
    }
}

MemoryPlatform::~MemoryPlatform() = default;

QVariant MemoryPlatform::setting(const QString& key) const { return settings_.value(key); }

void MemoryPlatform::setSetting(const QString& key, const QVariant& value) { settings_.insert(key, value); }

void MemoryPlatform::removeSetting(const QString& key) { settings_.remove(key); }

QString MemoryPlatform::appDataFolder() const { return QDir(root_).filePath(QStringLiteral("data")); }

QString MemoryPlatform::homeFolder() const { return QDir(root_).filePath(QStringLiteral("home")); }

QString MemoryPlatform::documentsFolder() const { return QDir(root_).filePath(QStringLiteral("home/Documents")); }

MainThreadExecutor MemoryPlatform::mainExecutor() { return queue_.executor(); }

void MemoryPlatform::log(const QString& line) {
    std::lock_guard lock(logMutex_);
    log_.append(line);
}

QStringList MemoryPlatform::logLines() const {
    std::lock_guard lock(logMutex_);
    return log_;
}

bool MemoryPlatform::revealFile(const QString& path) {
    revealed_.append(path);
    return fileManagerPresent_;
}

} // namespace tw
