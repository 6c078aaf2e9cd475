// A file name proposed to the save panel from a text the user typed (a program's title).
#pragma once

#include <QString>

namespace tw {

// The text with every character a file name cannot hold ("/" and NUL) replaced by "-";
// everything else is kept as it is.
QString proposedFileName(const QString& text);

} // namespace tw
