#include "app/proposed_file_name.h"

#include <QTextBoundaryFinder>

namespace tw {

QString proposedFileName(const QString& text, const QString& extension) {
    QString name = text;
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QChar(u'\0')) c = QLatin1Char('-');
        else if (c == QLatin1Char('"')) c = QLatin1Char('\'');
    }
    if (name.startsWith(QLatin1Char('~'))) name[0] = QLatin1Char('-');

    const qsizetype room = kMaxFileNameBytes - (extension.isEmpty() ? 0 : 1 + extension.toUtf8().size());
    if (name.toUtf8().size() <= room) return name;
    // Cut between characters as the user sees them, never inside one, and keep
    // as much as fits.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, name);
    qsizetype bytes = 0;
    qsizetype end = 0;
    for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary()) {
        bytes += QStringView(name).mid(end, next - end).toUtf8().size();
        if (bytes > room) break;
        end = next;
    }
    return name.left(end);
}

} // namespace tw
