#include "platform/ini_settings_text.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QMap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
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

// "\x" and the unit in lower-case hexadecimal, without leading zeros.
char* appendHexEscape(char* out, char16_t c) {
    *out++ = '\\';
    *out++ = 'x';
    int shift = 12;
    while (shift > 0 && (c >> shift) == 0) shift -= 4;
    for (; shift >= 0; shift -= 4) *out++ = "0123456789abcdef"[(c >> shift) & 0xF];
    return out;
}

// The most bytes one UTF-16 unit becomes: "\x" and four hexadecimal digits.
constexpr qsizetype maximumBytesPerUnit = 6;

// One text with its escapes, in quotes when it holds ",;=" or starts or ends with a
// space. Written straight into the output, which is grown once for the worst case:
// a value may be the program notes of a firmware, megabytes long.
void appendText(const QString& text, QByteArray& out) {
    // Binary values keep every byte above 0x7E as an escape; other text is UTF-8.
    const bool binary = text.startsWith(QLatin1String("@ByteArray(")) || text.startsWith(QLatin1String("@Variant(")) ||
                        text.startsWith(QLatin1String("@DateTime("));
    const qsizetype size = text.size();
    const char16_t* in = reinterpret_cast<const char16_t*>(text.utf16());
    // Only a space writes a space, and nothing escaped ends in one.
    bool quote = size > 0 && (in[0] == u' ' || in[size - 1] == u' ');
    for (qsizetype i = 0; i < size && !quote; ++i) quote = in[i] == u';' || in[i] == u',' || in[i] == u'=';

    const qsizetype start = out.size();
    out.resize(start + size * maximumBytesPerUnit + 2);
    char* const begin = out.data() + start;
    char* p = begin;
    if (quote) *p++ = '"';
    bool escapeHexDigit = false; // after \0 or \x, a plain hex digit would join the escape
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        if (escapeHexDigit && hexValue(c) >= 0) {
            p = appendHexEscape(p, c);
            continue;
        }
        escapeHexDigit = false;
        const auto escape = [&p](char letter) {
            *p++ = '\\';
            *p++ = letter;
        };
        switch (c) {
        case '\0':
            escape('0');
            escapeHexDigit = true;
            break;
        case '\a': escape('a'); break;
        case '\b': escape('b'); break;
        case '\f': escape('f'); break;
        case '\n': escape('n'); break;
        case '\r': escape('r'); break;
        case '\t': escape('t'); break;
        case '\v': escape('v'); break;
        case '"':
        case '\\': escape(char(c)); break;
        default:
            if (c <= 0x1F || (c >= 0x7F && binary)) {
                p = appendHexEscape(p, c);
                escapeHexDigit = true;
            } else if (c < 0x80) {
                *p++ = char(c);
            } else if (c < 0x800) {
                *p++ = char(0xC0 | (c >> 6));
                *p++ = char(0x80 | (c & 0x3F));
            } else if (!QChar::isSurrogate(c)) {
                *p++ = char(0xE0 | (c >> 12));
                *p++ = char(0x80 | ((c >> 6) & 0x3F));
                *p++ = char(0x80 | (c & 0x3F));
            } else {
                // A surrogate pair as one character; a lone surrogate as "?", where Qt
                // writes U+FFFD (nothing at the value's end).
                const qsizetype units = QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1]) ? 2 : 1;
                const QByteArray utf8 = QStringView(in + i, units).toUtf8();
                p = std::copy_n(utf8.constData(), utf8.size(), p);
                i += units - 1;
            }
        }
    }
    if (quote) *p++ = '"';
    out.truncate(start + (p - begin));
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

// Bytes that mean something to the readers below; a table lets them pass over the
// long plain runs of a settings file's program notes quickly.
using ByteSet = std::array<bool, 256>;

constexpr ByteSet byteSet(std::string_view bytes) {
    ByteSet set{};
    for (const char c : bytes) set[uchar(c)] = true;
    return set;
}

constexpr ByteSet lineMarks = byteSet("=\n\r\\\";");
constexpr ByteSet valueMarks = byteSet("\\\",");

// The first byte at or after `i` that is in the set, or the size.
qsizetype nextMark(QByteArrayView text, qsizetype i, const ByteSet& marks) {
    const qsizetype size = text.size();
    const char* data = text.data();
    while (i < size && !marks[uchar(data[i])]) ++i;
    return i;
}

bool nextLine(QByteArrayView text, qsizetype& position, IniLine& line) {
    const qsizetype size = text.size();
    qsizetype start = position;
    while (start < size && isLineSpace(text[start])) ++start;
    qsizetype equals = -1;
    bool inQuotes = false;
    qsizetype i = start;
    while ((i = nextMark(text, i, lineMarks)) < size) {
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

// One unit of a value's text: as it is, or as its Latin-1 byte ("?" beyond Latin-1),
// as QString::toLatin1 would give it.
inline void put(char16_t* out, qsizetype& length, char16_t unit) { out[length++] = unit; }
inline void put(char* out, qsizetype& length, char16_t unit) { out[length++] = unit <= 0xFF ? char(unit) : '?'; }

// The text of a value with its escapes and quotes undone, into `out`, which it never
// outgrows (every byte or escape gives at most one unit): settings files hold whole
// program notes in one value, too long to build piece by piece. A comma outside
// quotes ends an item of a list: `item(out, length)` takes it, and the next item
// starts at the beginning again; when `item` answers false the reading stops.
// Answers the length of the last item, or -1 when stopped.
template <typename Unit, typename Item>
qsizetype unescapeInto(QByteArrayView raw, Unit* const out, Item item) {
    const qsizetype size = raw.size();
    qsizetype length = 0;
    qsizetype i = 0;
    bool inQuotes = false;
    bool quoted = false;
    bool endedInEscape = false;
    qsizetype chopLimit = 0; // spaces before this point were written on purpose
    // The plain runs are one UTF-8 text, as in Qt's reader: a character cut by an
    // escape is whole after it, and a byte-order mark is dropped only before anything
    // else of the value's runs. Made at the first run that is not plain ASCII.
    std::optional<QStringDecoder> decoder;
    bool runBefore = false;
    const auto skipSpaces = [&] {
        while (i < size && (raw[i] == ' ' || raw[i] == '\t')) ++i;
    };
    const auto chopSpaces = [&] {
        while (length > chopLimit && (out[length - 1] == ' ' || out[length - 1] == '\t')) --length;
    };
    const auto numericEscape = [&](char16_t value, int base, int (*digit)(char16_t)) {
        while (i < size && digit(char16_t(uchar(raw[i]))) >= 0) value = char16_t(value * base + digit(char16_t(uchar(raw[i++]))));
        put(out, length, value);
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
                put(out, length, simple);
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
            chopLimit = length;
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                chopLimit = length;
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted) chopSpaces();
            if (!item(static_cast<const Unit*>(out), length)) return -1;
            length = 0;
            quoted = false;
            ++i;
            skipSpaces();
            chopLimit = 0;
        } else {
            // A run up to the next backslash, quote or comma: plain ASCII is copied
            // as it is until a run needs the decoder, which then takes every run.
            const qsizetype start = i;
            i = nextMark(raw, i + 1, valueMarks);
            uchar seen = 0;
            for (qsizetype k = start; k < i; ++k) {
                const uchar byte = uchar(raw[k]);
                seen |= byte;
                out[length + k - start] = Unit(byte);
            }
            if (seen < 0x80 && !decoder) {
                length += i - start;
            } else {
                if (!decoder)
                    decoder.emplace(QStringDecoder::Utf8, runBefore ? QStringDecoder::Flag::ConvertInitialBom
                                                                    : QStringDecoder::Flag::Default);
                const QString decoded = decoder->decode(raw.sliced(start, i - start));
                for (const QChar unit : decoded) put(out, length, unit.unicode());
            }
            runBefore = true;
        }
    }
    if (!endedInEscape && !quoted) chopSpaces();
    return length;
}

// The text of a value with its escapes and quotes undone; true when unquoted
// commas made it a list (then in `list`).
bool unescapeValue(QByteArrayView raw, QString& text, QStringList& list) {
    QString buffer(raw.size(), Qt::Uninitialized);
    bool isList = false;
    const qsizetype length =
        unescapeInto(raw, reinterpret_cast<char16_t*>(buffer.data()), [&](const char16_t* units, qsizetype count) {
            if (!isList) {
                isList = true;
                list.clear();
            }
            list.append(QString(reinterpret_cast<const QChar*>(units), count));
            return true;
        });
    buffer.truncate(length);
    if (buffer.capacity() > length + length / 4) buffer.squeeze();
    text = std::move(buffer);
    if (isList) list.append(text);
    return isList;
}

// The bytes of an "@ByteArray(…)" value (the program notes), read straight into
// bytes: the same as its text's Latin-1 form, without the text. Nothing when the
// value is anything else.
std::optional<QByteArray> byteArrayValue(QByteArrayView raw) {
    constexpr QByteArrayView marker = "@ByteArray(";
    qsizetype start = 0;
    while (start < raw.size() && (raw[start] == ' ' || raw[start] == '\t' || raw[start] == '"')) ++start;
    if (!raw.sliced(start).startsWith(marker)) return std::nullopt; // most values: not worth a try
    QByteArray bytes(raw.size(), Qt::Uninitialized);
    const qsizetype length = unescapeInto(raw, bytes.data(), [](const char*, qsizetype) { return false; });
    // A list, or text that only starts like a byte array, is read as text.
    if (length < marker.size() + 1 || !QByteArrayView(bytes.constData(), length).startsWith(marker) ||
        bytes[length - 1] != ')')
        return std::nullopt;
    bytes.remove(0, marker.size());
    bytes.truncate(length - marker.size() - 1);
    return bytes;
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
        const QString key = section + keyFrom(content.first(equals).trimmed());
        const QByteArrayView raw = content.sliced(equals + 1);
        if (auto bytes = byteArrayValue(raw)) {
            settings.insert(key, std::move(*bytes));
            continue;
        }
        QString value;
        QStringList list;
        const bool isList = unescapeValue(raw, value, list);
        settings.insert(key, isList ? listFromTexts(list) : valueFromText(value));
    }
    return ok;
}

} // namespace tw
