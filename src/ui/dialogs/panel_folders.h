// The folder a file panel starts in: the one last used for that kind of file,
// kept in the settings, else the documents folder.
#pragma once

#include "app/file_task.h"
#include "app/ut_type.h"

#include <QString>

namespace tw {

class Platform;

// The settings key of the folder kept for a kind of file. Memory files share
// one folder whether opened or saved; so do program notes.
QString panelFolderKey(FileTask task);
QString panelFolderKey(UTType type);

// The kept folder while it is still a folder, else the documents folder (the
// home folder when there is none).
QString panelStartFolder(const Platform& platform, const QString& key);

// Keeps the folder that holds `chosen`, a file or folder picked in a panel.
void rememberPanelFolder(Platform& platform, const QString& key, const QString& chosen);

} // namespace tw
