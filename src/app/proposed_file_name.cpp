#include "app/proposed_file_name.h"

namespace tw {

QString proposedFileName(const QString& text) {
    QString name = text;
    for (QChar& c : name)
        if (c == QLatin1Char('/') || c == QChar(u'\0')) c = QLatin1Char('-');
    return name;
}

} // namespace tw
