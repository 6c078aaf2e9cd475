#include "ui/face/key_view.h"

#include "inspector/plain_tool_tip.h"
#include "ui/face/face_accessibility.h"
#include "ui/face/face_paint.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tw {

namespace {

const QColor kDarkLegend(30, 26, 23);

QColor capColor(const KeySpec& key, const ModelColors& colors) {
    switch (key.style) {
    case KeyStyle::fShift: return rgbColor(colors.fKey);
    case KeyStyle::gShift: return rgbColor(colors.gKey);
    default: return rgbColor(colors.keyCap);
    }
}

QPainterPath roundedRect(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

KeyView::KeyView(const KeySpec& key, const ModelColors& colors, QWidget* parent)
    : KeyWidget(key, [this](QPointF p) { if (onPress) onPress(partAt(p)); }, parent), colors_(colors) {
    setMouseTracking(true);
    setToolTip(plainToolTip(toolTipText(key_)));
    setAccessibleName(accessibleLabel(key_));
    installFaceAccessibility();
    gesture_.onTouchingChanged = [this] { updateShadow(); };
}

void KeyView::updateShadow() {
    // The face paints the key's shadow, which changes with the pressed look.
    if (QWidget* face = parentWidget()) face->update(geometry().adjusted(-4, -4, 4, 4));
}

QString KeyView::accessibleLabel(const KeySpec& key) {
    QStringList parts{qText(key.face)};
    if (key.hasF()) parts << QStringLiteral("f ") + qText(key.f);
    if (key.hasG()) parts << QStringLiteral("g ") + qText(key.g);
    return parts.join(QStringLiteral(", "));
}

QString KeyView::toolTipText(const KeySpec& key) {
    QString text = qText(key.helpText());
    if (key.hasG()) text += QStringLiteral(" — blue legend: g ") + qText(key.g);
    return text;
}

void KeyView::setPressed(bool pressed) {
    if (pressed == pressed_) return;
    pressed_ = pressed;
    update();
    updateShadow();
}

void KeyView::setLatched(bool latched) {
    if (latched == latched_) return;
    latched_ = latched;
    update();
}

void KeyView::setUnit(double unit) {
    if (unit == unit_) return;
    unit_ = unit;
    update();
}

double KeyView::stripHeight() const {
    const double h = height();
    return key_.style == KeyStyle::enter ? std::min(0.3 * unit_, 0.16 * h) : 0.3 * h;
}

KeyPart KeyView::partAt(QPointF p) const {
    return key_.hasG() && p.y() >= height() - stripHeight() ? KeyPart::gLabel : KeyPart::face;
}

QRectF KeyView::badgeRect() const {
    if (key_.shortcuts.empty()) return {};
    return shortcutBadgeRect(badgeFont(), qText(key_.shortcutLabels()), width(), -0.12 * unit_);
}

QFont KeyView::badgeFont() const { return faceFont(0.17 * unit_, QFont::Bold); }

void KeyView::paintBadge(QPainter& painter, QPointF offset) const {
    if (!hovering_ || key_.shortcuts.empty()) return;
    paintShortcutBadge(painter, badgeRect().translated(offset), badgeFont(), qText(key_.shortcutLabels()));
}

void KeyView::activate() {
    if (onPress) onPress(KeyPart::face);
    if (onRelease) onRelease();
}

void KeyView::detach() {
    KeyWidget::detach();
    onPress = nullptr;
    onHoverChanged = nullptr;
}

void KeyView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double w = width();
    const double h = height();
    const double s = stripHeight();
    const bool down = isDown();
    const double dim = down ? 0.08 : 0.0;
    const auto shade = [dim](const QColor& c) { return dim > 0 ? darkened(c, dim) : c; };

    painter.save();
    if (down) painter.translate(0, 0.025 * h);
    painter.fillPath(roundedRect(QRectF(0, 0, w, h), 0.08 * w), shade(rgbColor(colors_.keyFront)));

    const QColor cap = capColor(key_, colors_);
    QColor capTop = cap;
    capTop.setAlphaF(0.95f);
    QLinearGradient gradient(0, 0, 0, h - s);
    gradient.setColorAt(0, shade(capTop));
    gradient.setColorAt(1, shade(cap));
    painter.fillPath(roundedRect(QRectF(0, 0, w, h - s), 0.07 * w), gradient);

    const QString face = qText(key_.face);
    double faceSize = std::min(0.4 * unit_, 0.48 * (h - s));
    if (characterCount(face) >= 4) faceSize *= 0.72;
    const bool darkLegend = key_.style == KeyStyle::fShift || key_.style == KeyStyle::gShift;
    painter.setPen(shade(darkLegend ? kDarkLegend : QColor(Qt::white)));
    drawFittedText(painter, QRectF(0.06 * w, 0, w - 0.12 * w, h - s), face, faceFont(faceSize, QFont::DemiBold));

    if (key_.hasG()) {
        painter.setPen(shade(rgbColor(colors_.gLegend)));
        drawFittedText(painter, QRectF(0.02 * w, h - s, 0.96 * w, s), qText(key_.g),
                       faceFont(0.22 * unit_, QFont::Medium));
        if (hoverG_) painter.fillPath(roundedRect(QRectF(0, h - s, w, s), 0.06 * w), rgbColor(colors_.gLegend, 0.16));
    }
    painter.restore();

    if (latched_) paintLatchMark(painter, QRectF(0, 0, w, h), std::max(0.06 * unit_, 1.5), 0.08 * w);
}

void KeyView::pointerMoved(QPointF p) {
    const bool inside = rect().contains(p.toPoint());
    setHover(inside, inside && key_.hasG() && p.y() >= height() - stripHeight());
}

void KeyView::hoverEnded() { setHover(false, false); }

void KeyView::setHover(bool hovering, bool hoverG) {
    if (hovering == hovering_ && hoverG == hoverG_) return;
    const bool badgeChanged = hovering != hovering_;
    hovering_ = hovering;
    hoverG_ = hoverG;
    update();
    if (badgeChanged && onHoverChanged) onHoverChanged();
}

// ---------------------------------------------------------------------------

LegendArea::LegendArea(const KeySpec& key, const ModelColors& colors, QWidget* parent)
    : KeyWidget(key, [this](QPointF) { if (onPress) onPress(); }, parent), colors_(colors) {
    setToolTip(plainToolTip(QStringLiteral("f ") + qText(key.f) + QStringLiteral(" — f, then ") + qText(key.face)));
    setAccessibleName(QStringLiteral("f ") + qText(key.f));
    installFaceAccessibility();
}

void LegendArea::activate() {
    if (onPress) onPress();
    if (onRelease) onRelease();
}

void LegendArea::detach() {
    KeyWidget::detach();
    onPress = nullptr;
}

void LegendArea::paintEvent(QPaintEvent*) {
    if (!hovering_ && !gesture_.touching()) return;
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 3, 3);
    painter.fillPath(path, rgbColor(colors_.fLegend, gesture_.touching() ? 0.28 : 0.14));
}

void LegendArea::enterEvent(QEnterEvent* event) {
    hovering_ = true;
    update();
    QWidget::enterEvent(event);
}

void LegendArea::hoverEnded() {
    hovering_ = false;
    update();
}

} // namespace tw
