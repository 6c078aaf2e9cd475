#include "inspector/plain_tool_tip.h"

#include <QTextDocument>

#include "inspector/line_breaks.h"

namespace tw {

QString plainToolTip(const QString& text) {
    // Every break as the one both of Qt's ways of showing a tip take: the label of a plain
    // tip draws a CR as a space, and VT, FF, NEL and U+2029 as nothing; the document of a
    // rich one runs the words together at VT, FF and NEL, and breaks twice at a CR LF.
    // Qt decides on rich text from what it is given: so do we.
    const QString lines = withLineBreaksAs(text, u'\n');
    if (!Qt::mightBeRichText(lines)) return lines;
    return QStringLiteral("<p style='white-space:pre-wrap'>") + lines.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace tw
