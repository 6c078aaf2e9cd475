// The text a tooltip shows of what it is given.
#pragma once

#include <QString>
#include <QTextDocument>

namespace tw::test {

// Qt reads a tip that looks like markup as rich text; a word joiner (U+2060) it draws as
// nothing.
inline QString toolTipShows(const QString& tip) {
    if (!Qt::mightBeRichText(tip)) return QString(tip).remove(QChar(0x2060));
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText();
}

} // namespace tw::test
