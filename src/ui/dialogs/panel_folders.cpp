#include "ui/dialogs/panel_folders.h"

#include "platform/platform.h"

#include <QFileInfo>

namespace tw {

namespace {

QString key(const char* kind) { return QStringLiteral("panelFolder/") + QLatin1String(kind); }

bool isFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

} // namespace

QString panelFolderKey(FileTask task) {
    switch (task) {
    case FileTask::firmware: return key("firmware");
    case FileTask::memory: return key("memory");
    case FileTask::notes: return key("notes");
    case FileTask::fonts: return key("fonts");
    }
    return key("memory");
}

QString panelFolderKey(UTType type) {
    switch (type) {
    case UTType::memory16c:
    case UTType::memory15c:
    case UTType::memory12c:
    case UTType::data: return key("memory");
    case UTType::programdoc:
    case UTType::json: return key("notes");
    case UTType::pdf: return key("pdf");
    case UTType::plainText: return key("text");
    }
    return key("memory");
}

QString panelStartFolder(const Platform& platform, const QString& key) {
    const QString kept = platform.setting(key).toString();
    if (isFolder(kept)) return kept;
    const QString documents = platform.documentsFolder();
    return isFolder(documents) ? documents : platform.homeFolder();
}

void rememberPanelFolder(Platform& platform, const QString& key, const QString& chosen) {
    if (chosen.isEmpty()) return;
    platform.setSetting(key, QFileInfo(chosen).absolutePath());
}

} // namespace tw
