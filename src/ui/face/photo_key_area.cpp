#include "ui/face/photo_key_area.h"

#include "inspector/plain_tool_tip.h"
#include "ui/face/face_accessibility.h"
#include "ui/face/face_paint.h"
#include "ui/face/key_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tw {

namespace {

const QColor kGold(227, 166, 58);
const QColor kBlue(93, 169, 232);

Point plain(QPointF p) { return {p.x(), p.y()}; }
QRectF toQt(const Rect& r) { return QRectF(r.x, r.y, r.width, r.height); }

} // namespace

PhotoKeyArea::PhotoKeyArea(const KeySpec& key, QWidget* parent)
    : KeyWidget(key, [this](QPointF p) { if (onPress) onPress(partAt(p)); }, parent) {
    setMouseTracking(true);
    setToolTip(plainToolTip(toolTipText(key_)));
    setAccessibleName(KeyView::accessibleLabel(key_));
    installFaceAccessibility();
}

QString PhotoKeyArea::toolTipText(const KeySpec& key) {
    QString text = qText(key.helpText());
    if (key.hasF()) text += QStringLiteral(" — gold legend: f ") + qText(key.f);
    if (key.hasG()) text += QStringLiteral(" — blue legend: g ") + qText(key.g);
    return text;
}

void PhotoKeyArea::setZones(double unit, std::optional<KeyZones> zones) {
    unit_ = unit;
    zones_ = std::move(zones);
    update();
}

void PhotoKeyArea::setLatched(bool latched) {
    if (latched == latched_) return;
    latched_ = latched;
    update();
}

KeyPart PhotoKeyArea::partAt(QPointF p) const {
    if (!zones_) return KeyPart::face;
    if (zones_->f && zones_->f->contains(plain(p))) return KeyPart::fLabel;
    if (zones_->g && zones_->g->contains(plain(p))) return KeyPart::gLabel;
    return KeyPart::face;
}

std::optional<KeyPart> PhotoKeyArea::hoverPartAt(QPointF p) const {
    if (!zones_) return std::nullopt;
    return zones_->part(plain(p));
}

void PhotoKeyArea::activate() {
    if (onPress) onPress(KeyPart::face);
    if (onRelease) onRelease();
}

void PhotoKeyArea::detach() {
    KeyWidget::detach();
    onPress = nullptr;
}

void PhotoKeyArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    if (hovering_ && zones_ && hoverPart_ && *hoverPart_ != KeyPart::face) {
        if (const auto zone = zones_->rect(*hoverPart_)) {
            QPainterPath tint;
            tint.addRoundedRect(toQt(*zone), 0.08 * unit_, 0.08 * unit_);
            QColor color = *hoverPart_ == KeyPart::fLabel ? kGold : kBlue;
            color.setAlphaF(0.18f);
            painter.fillPath(tint, color);
        }
    }

    if (hovering_ && (!hoverPart_ || *hoverPart_ == KeyPart::face) && !key_.shortcuts.empty()) {
        const QFont font = faceFont(std::max(0.2 * unit_, 8.0), QFont::Bold);
        const QString text = qText(key_.shortcutLabels());
        const double top = zones_ ? zones_->face.y : 0.0;
        paintShortcutBadge(painter, shortcutBadgeRect(font, text, width(), top), font, text);
    }

    if (latched_) paintLatchMark(painter, QRectF(rect()), std::max(0.07 * unit_, 1.5), 0.12 * unit_);
}

void PhotoKeyArea::pointerMoved(QPointF p) {
    if (rect().contains(p.toPoint())) setHover(true, hoverPartAt(p));
    else setHover(false, std::nullopt);
}

void PhotoKeyArea::hoverEnded() { setHover(false, std::nullopt); }

void PhotoKeyArea::setHover(bool hovering, std::optional<KeyPart> part) {
    if (hovering == hovering_ && part == hoverPart_) return;
    hovering_ = hovering;
    hoverPart_ = part;
    update();
}

} // namespace tw
