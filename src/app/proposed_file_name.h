// A file name proposed to the save panel from a text the user typed (a program's title).
#pragma once

#include <QString>

namespace tw {

// The longest file name, in bytes, that Linux file systems hold.
inline constexpr int kMaxFileNameBytes = 255;

// The text as a file name that the save panel shows and writes as it is: every
// character a file name cannot hold ("/" and NUL) becomes "-", a double quote
// (which Qt's own panel reads as quoting a list of names) becomes "'", and a leading
// "~" (which it reads as a home folder) becomes "-". The result is cut, on a character
// boundary, so that with "." and `extension` it fits in kMaxFileNameBytes of UTF-8.
QString proposedFileName(const QString& text, const QString& extension);

} // namespace tw
