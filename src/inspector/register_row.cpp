#include "inspector/register_row.h"

#include <QCoreApplication>
#include <QTextBoundaryFinder>

#include "inspector/inspector_style.h"

namespace tw {

namespace {

// User-perceived characters of a text.
QStringList graphemes(const QString& text) {
    QStringList parts;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        if (end > start) parts << text.mid(start, end - start);
        start = end;
    }
    return parts;
}

} // namespace

QString groupedByFour(const QString& text) {
    const QStringList chars = graphemes(text);
    QString out;
    const qsizetype n = chars.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 4 == 0) out += ' ';
        out += chars[i];
    }
    return out;
}

QString RegisterRow::shownText() const {
    if (descriptor) return qs(*descriptor);
    if (imaginary) {
        const QString re = qs(value.text);
        const QString im = qs(imaginary->text);
        if (im.startsWith('-')) return re + QStringLiteral(" \u2212 ") + im.mid(1) + "i";
        return re + " + " + im + "i";
    }
    const QString text = qs(value.text);
    if (value.isInteger && base == 2 && graphemes(text).size() >= 9) return groupedByFour(text);
    return text;
}

QString RegisterRow::baseLetter() const {
    if (!value.isInteger) return {};
    switch (base) {
    case 2: return QStringLiteral("b");
    case 8: return QStringLiteral("o");
    case 16: return QStringLiteral("h");
    default: return QStringLiteral("d");
    }
}

QString RegisterRow::decimalLine() const {
    if (!hasDecimalLine()) return {};
    return qs(value.decimal);
}

QString RegisterRow::helpText() const {
    if (value.isInteger) return qs(value.name) + " = " + qs(value.decimal) + " (decimal)";
    return qs(value.name) + " = " + qs(value.text);
}

std::uint64_t RegisterRow::changeKey() const {
    const std::uint64_t own = value.isInteger ? value.word : value.raw;
    return own + (imaginary ? imaginary->raw : 0);
}

QString RegisterRow::accessibleText() const {
    QStringList parts{qs(value.name), shownText()};
    if (!baseLetter().isEmpty()) parts << baseLetter();
    if (!decimalLine().isEmpty()) parts << decimalLine();
    return parts.join(' ');
}

std::vector<RegisterRow::CopyItem> RegisterRow::copyItems() const {
    std::vector<CopyItem> items;
    items.push_back({QCoreApplication::translate("RegisterRow", "Copy %1").arg(qs(value.text)), qs(value.text)});
    if (value.isInteger) {
        items.push_back({QCoreApplication::translate("RegisterRow", "Copy decimal %1").arg(qs(value.decimal)),
                         qs(value.decimal)});
    }
    return items;
}

} // namespace tw
