#include "ui/face/lcd_painter.h"

#include "ui/face/face_paint.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace tw {

namespace {

constexpr uint32_t kFlatGlass = 0x898989;

template <size_t N>
bool entry(const std::array<bool, N>& values, int i) {
    return i >= 0 && static_cast<size_t>(i) < N && values[static_cast<size_t>(i)];
}

} // namespace

LCDMetrics LCDMetrics::make(QSizeF frame, const CalculatorModel& model, bool overPhoto) {
    LCDMetrics m;
    m.cell = frame.width() / 11.2;
    if (overPhoto) {
        m.xoff = -0.13 * m.cell;
        m.top = 0.22 * frame.height();
        m.digitHeight = 0.39 * frame.height();
        m.lit = QColor(16, 20, 16);
        m.lit.setAlphaF(0.92f);
        m.ghost = rgbColor(model.colors.segment, 0.025);
    } else {
        m.top = 0.1 * frame.height();
        m.digitHeight = 0.62 * frame.height();
        // The minus sign on the left and, on the right, the tenth digit (whose top
        // leans right by a tenth of its height) and the point after it, all inside the
        // glass with a margin of a quarter cell each side: narrower cells on a glass
        // whose height makes the lean wide.
        const double lean = 0.1 * m.digitHeight;
        m.cell = std::min(frame.width() / 11.3, (frame.width() - lean) / 11.11);
        const double left = 0.15 * m.cell;
        const double right = std::max(10.95 * m.cell, 10.76 * m.cell + lean);
        m.xoff = (frame.width() - (right - left)) / 2 - left;
        m.lit = rgbColor(model.colors.segment);
        m.ghost = rgbColor(model.colors.segment, 0.045);
    }
    return m;
}

QRectF LCDMetrics::digitBox(int d) const {
    return QRectF((d + 1) * cell + xoff + 0.14 * cell, top, 0.62 * cell, digitHeight);
}

QRectF LCDMetrics::minusBox() const { return QRectF(0.15 * cell + xoff, top, 0.62 * cell, digitHeight); }

QRectF LCDMetrics::pointRect(int d) const {
    const QRectF box = digitBox(d);
    const double p = 0.13 * cell;
    return QRectF(box.right() + 0.06 * cell, box.bottom() - p, p, p);
}

QPointF LCDMetrics::annunciatorOrigin(const Annunciator& a, double frameHeight) const {
    return QPointF((a.cell + 1) * cell + xoff, top + digitHeight + 0.08 * frameHeight);
}

std::array<QPointF, 6> segmentVertices(int k, const QRectF& box) {
    const double w = box.width();
    const double h = box.height();
    const double t = 0.17 * w;
    const double g = 0.18 * t;
    const double s = t / 2;
    const double m = h / 2;
    std::array<QPointF, 6> v;
    switch (std::clamp(k, 0, 6)) {
    case 0: v = {{{s + g, s}, {t + g, 0}, {w - t - g, 0}, {w - s - g, s}, {w - t - g, t}, {t + g, t}}}; break;
    case 1:
        v = {{{w - s, s + g}, {w, t + g}, {w, m - s - g}, {w - s, m - g}, {w - t, m - s - g}, {w - t, t + g}}};
        break;
    case 2:
        v = {{{w - s, m + g}, {w, m + s + g}, {w, h - t - g}, {w - s, h - s - g}, {w - t, h - t - g},
              {w - t, m + s + g}}};
        break;
    case 3:
        v = {{{s + g, h - s}, {t + g, h - t}, {w - t - g, h - t}, {w - s - g, h - s}, {w - t - g, h}, {t + g, h}}};
        break;
    case 4: v = {{{s, m + g}, {t, m + s + g}, {t, h - t - g}, {s, h - s - g}, {0, h - t - g}, {0, m + s + g}}}; break;
    case 5: v = {{{s, s + g}, {t, t + g}, {t, m - s - g}, {s, m - g}, {0, m - s - g}, {0, t + g}}}; break;
    default:
        v = {{{s + g, m}, {t + g, m - s}, {w - t - g, m - s}, {w - s - g, m}, {w - t - g, m + s}, {t + g, m + s}}};
        break;
    }
    // The digits lean right: the top edge moves by a tenth of the height, the bottom stays.
    for (QPointF& p : v) p = QPointF(box.x() + p.x() + 0.1 * (h - p.y()), box.y() + p.y());
    return v;
}

QPainterPath segmentPath(int k, const QRectF& box) {
    const std::array<QPointF, 6> v = segmentVertices(k, box);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(v[0]);
    for (size_t i = 1; i < v.size(); ++i) path.lineTo(v[i]);
    path.closeSubpath();
    return path;
}

double annunciatorFontSize(double frameHeight) { return std::max(0.15 * frameHeight, 6.0); }

void paintLCD(QPainter& painter, const QRectF& frame, const LCDState& lcd, const CalculatorModel& model,
              bool overPhoto) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QPainterPath glassOutline;
    glassOutline.addRoundedRect(frame, 4, 4);

    if (!overPhoto) {
        QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
        gradient.setColorAt(0, rgbColor(model.colors.lcd));
        gradient.setColorAt(1, rgbColor(model.colors.lcd, model.colors.lcd == kFlatGlass ? 1.0 : 0.85));
        painter.fillPath(glassOutline, gradient);
    }

    painter.translate(frame.topLeft());
    const LCDMetrics m = LCDMetrics::make(frame.size(), model, overPhoto);
    painter.setPen(Qt::NoPen);
    for (int d = 0; d < 10; ++d) {
        const QRectF box = m.digitBox(d);
        for (int k = 0; k < 7; ++k) painter.fillPath(segmentPath(k, box), m.ghost);
        const uint8_t byte = lcd.segments[static_cast<size_t>(d)];
        for (int k = 0; k < 7; ++k)
            if (byte & (1u << k)) painter.fillPath(segmentPath(k, box), m.lit);
        const bool dot = entry(lcd.dots, d);
        const bool comma = entry(lcd.commas, d);
        const QRectF point = m.pointRect(d);
        if (dot || comma) painter.fillRect(point, m.lit);
        if (comma) {
            const double p = point.width();
            const double px = point.x();
            const double py = point.y();
            QPainterPath tail;
            tail.moveTo(px + p, py + p);
            tail.lineTo(px + 0.8 * p, py + 2.6 * p);
            tail.lineTo(px - 0.5 * p, py + 2.6 * p);
            tail.lineTo(px, py + p);
            tail.closeSubpath();
            painter.fillPath(tail, m.lit);
        }
    }
    painter.fillPath(segmentPath(6, m.minusBox()), lcd.minus ? m.lit : m.ghost);

    const QFont font = faceFont(annunciatorFontSize(frame.height()), QFont::DemiBold);
    painter.setFont(font);
    const double ascent = QFontMetricsF(font).ascent();
    for (const Annunciator& a : model.annunciators) {
        const bool on = a.bit >= 0 && a.bit < 64 && ((lcd.annunciatorBits >> a.bit) & 1u);
        painter.setPen(on ? m.lit : m.ghost);
        const QPointF origin = m.annunciatorOrigin(a, frame.height());
        painter.drawText(QPointF(origin.x(), origin.y() + ascent), qText(a.label));
    }
    painter.translate(-frame.topLeft());

    if (!overPhoto) {
        QColor rim(0, 0, 0);
        rim.setAlphaF(0.35f);
        QPen pen(rim, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(glassOutline);
    }
    painter.restore();
}

QMarginsF lcdOverhang(QSizeF frame) {
    // The slant, the last point and a long annunciator label may cross the edges.
    const double c = frame.width() / 11.2;
    const double side = 0.5 * c + 2;
    const double below = 0.2 * frame.height() + 2;
    return QMarginsF(side, 2, side, below);
}

} // namespace tw
