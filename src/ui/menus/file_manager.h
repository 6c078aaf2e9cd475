// Shows one file selected in the desktop's file manager.
#pragma once

#include <QString>

namespace tw {

// Asks the file manager over D-Bus (org.freedesktop.FileManager1) to show the file
// selected; where no file manager answers, opens the file's folder instead.
// False when neither worked.
bool revealInFileManager(const QString& path);

} // namespace tw
