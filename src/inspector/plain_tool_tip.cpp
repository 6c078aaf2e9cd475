#include "inspector/plain_tool_tip.h"

#include <QTextDocument>

#include "inspector/line_breaks.h"

namespace tw {

QString plainToolTip(const QString& text) {
    // Every break as an LF, the one break a plain tip's label draws: it draws a CR as a
    // space, and VT, FF, NEL and U+2029 as nothing.
    const QString lines = withLineBreaksAs(text, u'\n');
    if (!Qt::mightBeRichText(lines)) return lines;
    // Qt lays a tip that looks like markup out as a document, which wraps a short line at
    // a width of its own and drops a line feed at the start and the end. A word joiner,
    // drawn as nothing, after each '<' and '&' leaves no tag or entity for Qt to see, so
    // the tip is the plain one.
    constexpr QChar kWordJoiner(0x2060);
    QString shown;
    shown.reserve(lines.size() + lines.count(u'<') + lines.count(u'&'));
    for (const QChar c : lines) {
        shown += c;
        if (c == u'<' || c == u'&') shown += kWordJoiner;
    }
    return shown;
}

} // namespace tw
