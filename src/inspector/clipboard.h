// The one way the inspector writes outside itself: plain text to the clipboard.
#pragma once

#include <QString>

namespace tw {

// Clears the clipboard, then puts the text on it as plain text.
void copyToClipboard(const QString& text);

} // namespace tw
