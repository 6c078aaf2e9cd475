// The characters that end a line of a text the user wrote, in one list for the places
// that show such a text: on one line in a row, or line by line in a tooltip.
#pragma once

#include <QString>

namespace tw {

// LF, CR, VT, FF, NEL (U+0085), U+2028 and U+2029. A CR right before an LF ends one
// line with it.
bool isLineBreak(QChar c);

// `text` with each line break as `mark`, a CR LF as one. A text in which that changes
// nothing is shared, not copied.
QString withLineBreaksAs(QString text, QChar mark);

} // namespace tw
