// Texts the user wrote, shown on one line: a step comment in the program listing, an
// orphaned comment in its row of the program information sheet.
#pragma once

#include <QString>

namespace tw {

// `text` with each line break (inspector/line_breaks.h; a CR LF is one) and each tab as
// one space. Qt's painter starts a new line at some breaks and draws others as nothing,
// so a comment spread over the rows around its own, or ran its words together; and it
// measures a tab to its tab stop, so a row cut the comment short. A text with none of
// these is shared, not copied.
// Callers pass a text already cut to what they show: the cost follows that, not the
// comment's length.
QString oneLineText(QString text);

} // namespace tw
