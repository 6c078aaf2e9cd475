#include "ui/dialogs/breakable_text.h"

#include <QTextBoundaryFinder>

namespace tw {

QString breakableText(const QString& text) {
    constexpr qsizetype kLongRun = 24; // shorter runs wrap as words do
    constexpr QChar kZeroWidthSpace(0x200B);
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const bool space = text[i].isSpace();
        qsizetype j = i;
        while (j < text.size() && text[j].isSpace() == space) ++j;
        const QString run = text.mid(i, j - i);
        if (space || run.size() <= kLongRun) {
            result += run;
        } else {
            QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, run);
            qsizetype start = 0;
            for (qsizetype end = characters.toNextBoundary(); end > 0; end = characters.toNextBoundary()) {
                if (start > 0) result += kZeroWidthSpace;
                result += QStringView(run).mid(start, end - start);
                start = end;
            }
        }
        i = j;
    }
    return result;
}

} // namespace tw
