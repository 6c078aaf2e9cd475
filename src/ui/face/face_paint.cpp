#include "ui/face/face_paint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <vector>

namespace tw {

QColor rgbColor(uint32_t rgb, double opacity) {
    QColor color((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    color.setAlphaF(static_cast<float>(std::clamp(opacity, 0.0, 1.0)));
    return color;
}

QColor darkened(const QColor& color, double amount) {
    const auto lower = [amount](float channel) { return std::max(0.0f, channel - static_cast<float>(amount)); };
    return QColor::fromRgbF(lower(color.redF()), lower(color.greenF()), lower(color.blueF()), color.alphaF());
}

QString qText(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

int characterCount(const QString& text) { return static_cast<int>(text.toUcs4().size()); }

QFont faceFont(double pixelSize, QFont::Weight weight) {
    QFont font;
    // Point sizes would follow the screen's DPI; the faces are laid out in pixels.
    font.setPixelSize(std::max(1, static_cast<int>(pixelSize + 0.5)));
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {

constexpr char16_t kCombiningCircumflex = 0x0302;

// One line with its combining circumflexes drawn by hand over their letters:
// fonts place the mark badly at small sizes, lifting it far above its letter.
void drawWithCircumflexes(QPainter& painter, const QRectF& box, const QString& text, Qt::Alignment alignment) {
    QString bare;
    std::vector<qsizetype> marked; // the letters of `bare` that carry a circumflex
    for (const QChar c : text) {
        if (c.unicode() == kCombiningCircumflex && !bare.isEmpty()) marked.push_back(bare.size() - 1);
        else bare += c;
    }
    // The letters stand where they would without the marks.
    QRectF drawn;
    painter.drawText(box, static_cast<int>(alignment | Qt::TextSingleLine), bare, &drawn);
    const QFontMetricsF metrics(painter.font());
    const double x = drawn.left();
    const double baseline = drawn.top() + metrics.ascent();

    const double em = painter.font().pixelSize() > 0 ? painter.font().pixelSize() : metrics.height();
    QPen pen(painter.pen().color(), std::max(1.0, 0.085 * em), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const qsizetype i : marked) {
        const double left = x + metrics.horizontalAdvance(bare.left(i));
        const QRectF glyph = metrics.tightBoundingRect(bare.mid(i, 1)).translated(left, baseline);
        const double half = std::max(glyph.width() * 0.38, 0.12 * em);
        const double bottom = glyph.top() - 0.1 * em;
        const double top = bottom - 0.2 * em;
        const double centre = glyph.center().x();
        painter.drawPolyline(QPolygonF{QPointF(centre - half, bottom), QPointF(centre, top), QPointF(centre + half, bottom)});
    }
    painter.restore();
}

} // namespace

void drawFittedText(QPainter& painter, const QRectF& box, const QString& text, QFont font, double minScale,
                    Qt::Alignment alignment) {
    if (text.isEmpty() || box.width() <= 0) return;
    const bool marked = text.contains(QChar(kCombiningCircumflex));
    // A mark drawn by hand takes no room of its own.
    const double width = QFontMetricsF(font).horizontalAdvance(marked ? QString(text).remove(QChar(kCombiningCircumflex))
                                                                      : text);
    if (width > box.width() && width > 0) {
        const double scale = std::max(minScale, box.width() / width);
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * scale)));
    }
    painter.setFont(font);
    if (marked) drawWithCircumflexes(painter, box, text, alignment);
    else painter.drawText(box, static_cast<int>(alignment | Qt::TextSingleLine), text);
}

void addCapsule(QPainterPath& path, const QRectF& rect) {
    const double radius = std::min(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, radius, radius);
}

QRectF shortcutBadgeRect(const QFont& font, const QString& text, double areaWidth, double top) {
    const QFontMetricsF metrics(font);
    const double w = metrics.horizontalAdvance(text) + 6;
    const double h = metrics.height() + 2;
    return QRectF((areaWidth - w) / 2, top, w, h);
}

void paintShortcutBadge(QPainter& painter, const QRectF& box, const QFont& font, const QString& text) {
    QPainterPath capsule;
    addCapsule(capsule, box);
    QColor back(0, 0, 0);
    back.setAlphaF(0.75f);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(capsule, back);
    painter.setPen(Qt::white);
    painter.setFont(font);
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.restore();
}

void paintLatchMark(QPainter& painter, const QRectF& area, double lineWidth, double radius) {
    static const QColor latchGold(227, 166, 58);
    painter.setPen(QPen(latchGold, lineWidth));
    painter.setBrush(Qt::NoBrush);
    const double inset = lineWidth / 2;
    painter.drawRoundedRect(area.adjusted(inset, inset, -inset, -inset), radius, radius);
}

} // namespace tw
