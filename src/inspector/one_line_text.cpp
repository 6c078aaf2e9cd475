#include "inspector/one_line_text.h"

#include <algorithm>

namespace tw {
namespace {

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

} // namespace

QString oneLineText(QString text) {
    // The row measures a tab to its tab stop and draws it as a space: it cut the text short.
    text.replace(u'\t', u' '); // copies only a text that has one
    const auto first = std::find_if(text.cbegin(), text.cend(), isLineBreak);
    if (first == text.cend()) return text; // most comments: shared, not copied
    qsizetype out = first - text.cbegin();
    QChar* chars = text.data();
    const qsizetype size = text.size();
    for (qsizetype in = out; in < size; ++in) {
        const QChar c = chars[in];
        if (c == u'\r' && in + 1 < size && chars[in + 1] == u'\n') ++in; // one break, one space
        chars[out++] = isLineBreak(c) ? QChar(u' ') : c;
    }
    text.truncate(out);
    return text;
}

} // namespace tw
