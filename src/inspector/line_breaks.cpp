#include "inspector/line_breaks.h"

#include <algorithm>

namespace tw {

bool isLineBreak(QChar c) {
    switch (c.unicode()) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x0085: // next line
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return true;
    default: return false;
    }
}

QString withLineBreaksAs(QString text, QChar mark) {
    // A break that is already the mark stays, unless it is the CR of a CR LF.
    const auto first = std::find_if(text.cbegin(), text.cend(),
                                    [mark](QChar c) { return isLineBreak(c) && (c != mark || c == u'\r'); });
    if (first == text.cend()) return text; // most texts: shared, not copied
    qsizetype out = first - text.cbegin();
    QChar* chars = text.data();
    const qsizetype size = text.size();
    for (qsizetype in = out; in < size; ++in) {
        const QChar c = chars[in];
        if (c == u'\r' && in + 1 < size && chars[in + 1] == u'\n') ++in; // one break, one mark
        chars[out++] = isLineBreak(c) ? mark : c;
    }
    text.truncate(out);
    return text;
}

} // namespace tw
