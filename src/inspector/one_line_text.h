// Texts the user wrote, shown on one line: a step comment in the program listing, an
// orphaned comment in its row of the program information sheet.
#pragma once

#include <QString>

namespace tw {

// `text` with each line break as one space: LF, CR, CR LF, VT, FF, NEL, U+2028 and
// U+2029. Qt's painter starts a new line at some of these and draws others as nothing,
// so a comment spread over the rows around its own, or ran its words together. Each
// tab is one space too. A text with none of these is shared, not copied.
// Callers pass a text already cut to what they show: the cost follows that, not the
// comment's length.
QString oneLineText(QString text);

} // namespace tw
