#include "platform/ini_settings_text.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <optional>
#include <utility>

namespace tw {

namespace {

constexpr char upperHexDigits[] = "0123456789ABCDEF";

int hexValue(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int octalValue(char16_t c) { return c >= '0' && c <= '7' ? c - '0' : -1; }

bool isKeyCharacter(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}

// ---- Writing

// A key or section name: "/" becomes "\", anything but letters, digits and "_-." a %XX or %UXXXX escape.
void appendKey(const QString& key, QByteArray& out) {
    for (const QChar character : key) {
        const char16_t c = character.unicode();
        if (c == '/') {
            out += '\\';
        } else if (isKeyCharacter(c)) {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += upperHexDigits[c >> 4];
            out += upperHexDigits[c & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) out += upperHexDigits[(c >> shift) & 0xF];
        }
    }
}

// A value as text: numbers, truth values and text as themselves, the other kinds
// behind an "@" marker ("@ByteArray(…)", "@Variant(…)" with the value's data stream).
QString valueText(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::UnknownType: return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray: return QStringLiteral("@ByteArray(") + QString::fromLatin1(value.toByteArray()) + u')';
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::Float:
    case QMetaType::Double: {
        QString text = value.toString();
        if (text.contains(QChar::Null)) return QStringLiteral("@String(") + text + u')';
        if (text.startsWith(u'@')) text.prepend(u'@');
        return text;
    }
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QString::asprintf("@Rect(%d %d %d %d)", r.x(), r.y(), r.width(), r.height());
    }
    case QMetaType::QSize: return QString::asprintf("@Size(%d %d)", value.toSize().width(), value.toSize().height());
    case QMetaType::QPoint: return QString::asprintf("@Point(%d %d)", value.toPoint().x(), value.toPoint().y());
    default: {
        const bool dateTime = value.metaType().id() == QMetaType::QDateTime;
        QByteArray data;
        {
            QDataStream stream(&data, QIODevice::WriteOnly);
            stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            stream << value;
        }
        return (dateTime ? QStringLiteral("@DateTime(") : QStringLiteral("@Variant(")) + QString::fromLatin1(data) +
               u')';
    }
    }
}

// One text with its escapes, in quotes when it holds ",;=" or starts or ends with a space.
void appendText(const QString& text, QByteArray& out) {
    // Binary values keep every byte above 0x7E as an escape; other text is UTF-8.
    const bool binary = text.startsWith(QLatin1String("@ByteArray(")) || text.startsWith(QLatin1String("@Variant(")) ||
                        text.startsWith(QLatin1String("@DateTime("));
    const qsizetype start = out.size();
    bool quote = false;
    bool escapeHexDigit = false; // after \0 or \x, a plain hex digit would join the escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == ';' || c == ',' || c == '=') quote = true;
        if (escapeHexDigit && hexValue(c) >= 0) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case '\0':
            out += "\\0";
            escapeHexDigit = true;
            break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1F || (c >= 0x7F && binary)) {
                out += "\\x" + QByteArray::number(c, 16);
                escapeHexDigit = true;
            } else if (c < 0x80) {
                out += char(c);
            } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out += text.mid(i, 2).toUtf8();
                ++i;
            } else {
                out += QString(QChar(c)).toUtf8();
            }
        }
    }
    if (quote || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

void appendValue(const QVariant& value, QByteArray& out) {
    const int type = value.metaType().id();
    // A list of one is kept as a whole value, so that it reads back as a list.
    if (type == QMetaType::QStringList || (type == QMetaType::QVariantList && value.toList().size() != 1)) {
        const QVariantList items = value.toList();
        if (items.isEmpty()) out += "@Invalid()";
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (i != 0) out += ", ";
            appendText(valueText(items[i]), out);
        }
        return;
    }
    appendText(valueText(value), out);
}

// ---- Reading

bool isLineSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// One logical line of the text: a quoted value or an escaped line end continues it,
// a ";" ends it (and at its start makes it a comment).
struct IniLine {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1; // the first "=" outside quotes, in the whole text
};

bool nextLine(QByteArrayView text, qsizetype& position, IniLine& line) {
    const qsizetype size = text.size();
    qsizetype start = position;
    while (start < size && isLineSpace(text[start])) ++start;
    qsizetype equals = -1;
    bool inQuotes = false;
    qsizetype i = start;
    while (i < size) {
        const char c = text[i++];
        if (c == '=') {
            if (!inQuotes && equals < 0) equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char escaped = text[i++];
                if (i < size) {
                    const char after = text[i];
                    if ((escaped == '\n' && after == '\r') || (escaped == '\r' && after == '\n')) ++i;
                }
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < size && text[i] != '\n' && text[i] != '\r') ++i;
                while (i < size && isLineSpace(text[i])) ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    position = i;
    line = {start, i - start, equals};
    return line.length > 0;
}

QString keyFrom(QByteArrayView escaped) {
    const QString text = QString::fromUtf8(escaped);
    QString key;
    key.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == text.size() - 1) {
            key += c;
            ++i;
            continue;
        }
        qsizetype first = i + 1;
        int digits = 2;
        if (text[first] == u'U') {
            ++first;
            digits = 4;
        }
        bool ok = first + digits <= text.size();
        const ushort code = ok ? QStringView(text).sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            key += u'%';
            ++i;
            continue;
        }
        key += QChar(code);
        i = first + digits;
    }
    return key;
}

char16_t simpleEscape(char c) {
    switch (c) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\': return char16_t(c);
    default: return 0;
    }
}

// The text of a value with its escapes and quotes undone; true when unquoted
// commas made it a list (then in `list`).
bool unescapeValue(QByteArrayView raw, QString& text, QStringList& list) {
    const qsizetype size = raw.size();
    qsizetype i = 0;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    bool endedInEscape = false;
    qsizetype chopLimit = 0; // spaces before this point were written on purpose
    const auto skipSpaces = [&] {
        while (i < size && (raw[i] == ' ' || raw[i] == '\t')) ++i;
    };
    const auto chopSpaces = [&] {
        while (text.size() > chopLimit && (text.back() == u' ' || text.back() == u'\t')) text.chop(1);
    };
    const auto numericEscape = [&](char16_t value, int base, int (*digit)(char16_t)) {
        while (i < size && digit(char16_t(uchar(raw[i]))) >= 0) value = char16_t(value * base + digit(char16_t(uchar(raw[i++]))));
        text += QChar(value);
        endedInEscape = i >= size;
    };

    skipSpaces();
    while (i < size && !endedInEscape) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= size) {
                endedInEscape = true;
                break;
            }
            const char escaped = raw[i++];
            if (const char16_t simple = simpleEscape(escaped)) {
                text += QChar(simple);
            } else if (escaped == 'x') {
                if (i >= size) {
                    endedInEscape = true;
                    break;
                }
                if (hexValue(char16_t(uchar(raw[i]))) >= 0) numericEscape(0, 16, hexValue);
            } else if (octalValue(char16_t(uchar(escaped))) >= 0) {
                numericEscape(char16_t(octalValue(char16_t(uchar(escaped)))), 8, octalValue);
            } else if (escaped == '\n' || escaped == '\r') {
                // An escaped line end continues the value on the next line.
                if (i < size && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != escaped) ++i;
            }
            chopLimit = text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                chopLimit = text.size();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted) chopSpaces();
            if (!isList) {
                isList = true;
                list.clear();
            }
            list.append(std::exchange(text, QString()));
            quoted = false;
            ++i;
            skipSpaces();
            chopLimit = 0;
        } else {
            qsizetype end = i + 1;
            while (end < size && raw[end] != '\\' && raw[end] != '"' && raw[end] != ',') ++end;
            text += QString::fromUtf8(raw.sliced(i, end - i));
            i = end;
        }
    }
    if (!endedInEscape && !quoted) chopSpaces();
    if (isList) list.append(text);
    return isList;
}

// The numbers of "@Rect(1 2 3 4)" and the like, when there are `count` of them.
std::optional<QList<int>> markerNumbers(const QString& text, qsizetype open, qsizetype count) {
    const auto parts = QStringView(text).sliced(open + 1).chopped(1).split(u' ');
    if (parts.size() != count) return std::nullopt;
    QList<int> numbers;
    for (const auto& part : parts) numbers.append(part.toInt());
    return numbers;
}

QVariant valueFromText(const QString& text) {
    if (text.startsWith(u'@')) {
        if (text.endsWith(u')')) {
            if (text.startsWith(QLatin1String("@ByteArray(")))
                return QStringView(text).sliced(11).chopped(1).toLatin1();
            if (text.startsWith(QLatin1String("@String("))) return QStringView(text).sliced(8).chopped(1).toString();
            if (text.startsWith(QLatin1String("@Variant(")) || text.startsWith(QLatin1String("@DateTime("))) {
                const bool dateTime = text[1] == u'D';
                QByteArray data = QStringView(text).sliced(dateTime ? 10 : 9).toLatin1();
                QDataStream stream(&data, QIODevice::ReadOnly);
                stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
                QVariant value;
                stream >> value;
                return value;
            }
            if (text.startsWith(QLatin1String("@Rect("))) {
                if (const auto n = markerNumbers(text, 5, 4)) return QRect((*n)[0], (*n)[1], (*n)[2], (*n)[3]);
            } else if (text.startsWith(QLatin1String("@Size("))) {
                if (const auto n = markerNumbers(text, 5, 2)) return QSize((*n)[0], (*n)[1]);
            } else if (text.startsWith(QLatin1String("@Point("))) {
                if (const auto n = markerNumbers(text, 6, 2)) return QPoint((*n)[0], (*n)[1]);
            } else if (text == QLatin1String("@Invalid()")) {
                return QVariant();
            }
        }
        if (text.startsWith(QLatin1String("@@"))) return text.sliced(1);
    }
    return text;
}

QVariant listFromTexts(const QStringList& texts) {
    QStringList plain = texts;
    for (QString& item : plain) {
        if (!item.startsWith(u'@')) continue;
        if (item.size() < 2 || item[1] != u'@') {
            // One marked value makes every item a value of its own kind.
            QVariantList values;
            for (const QString& text : texts) values.append(valueFromText(text));
            return values;
        }
        item.remove(0, 1);
    }
    return plain;
}

} // namespace

QByteArray encodeIniSettings(const QSettings::SettingsMap& settings) {
    // The first group of a key is its section; keys without one go to "[General]".
    QMap<QString, QList<std::pair<QString, QVariant>>> sections;
    for (auto it = settings.constBegin(); it != settings.constEnd(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        sections[section].append({slash < 0 ? it.key() : it.key().mid(slash + 1), it.value()});
    }
    QByteArray out;
    for (auto section = sections.constBegin(); section != sections.constEnd(); ++section) {
        QByteArray header;
        appendKey(section.key(), header);
        if (header.isEmpty()) header = "[General]";
        else if (header.compare("general", Qt::CaseInsensitive) == 0) header = "[%General]";
        else header = '[' + header + ']';
        if (!out.isEmpty()) out += '\n';
        out += header + '\n';
        for (const auto& [key, value] : section.value()) {
            appendKey(key, out);
            out += '=';
            appendValue(value, out);
            out += '\n';
        }
    }
    return out;
}

bool decodeIniSettings(QByteArrayView text, QSettings::SettingsMap& settings) {
    if (text.startsWith("\xef\xbb\xbf")) text = text.sliced(3);
    bool ok = true;
    QString section; // "" or the section's name and "/"
    qsizetype position = 0;
    IniLine line;
    while (nextLine(text, position, line)) {
        const QByteArrayView content = text.sliced(line.start, line.length);
        if (content.startsWith('[')) {
            qsizetype close = content.indexOf(']');
            if (close < 0) {
                ok = false;
                close = content.size();
            }
            const QByteArrayView name = content.first(close).sliced(1).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0) {
                section.clear();
            } else {
                // "[%General]" holds the keys of a group really named "General".
                section = name.compare("%general", Qt::CaseInsensitive) == 0 ? QString::fromLatin1(name.sliced(1))
                                                                              : keyFrom(name);
                section += u'/';
            }
            continue;
        }
        if (line.equals < 0) {
            if (!content.startsWith(';')) ok = false;
            continue;
        }
        const qsizetype equals = line.equals - line.start;
        QString value;
        QStringList list;
        const bool isList = unescapeValue(content.sliced(equals + 1), value, list);
        settings.insert(section + keyFrom(content.first(equals).trimmed()),
                        isList ? listFromTexts(list) : valueFromText(value));
    }
    return ok;
}

} // namespace tw
