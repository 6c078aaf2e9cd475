#include "ui/face/calculator_face.h"

#include "runtime/face/key_zones.h"
#include "ui/face/decoration_layer.h"
#include "ui/face/face_paint.h"
#include "ui/face/key_view.h"
#include "ui/face/lcd_view.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tw {

namespace {

Rect plain(const QRectF& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRectF toQt(const Rect& r) { return QRectF(r.x, r.y, r.width, r.height); }

} // namespace

CalculatorFace::CalculatorFace(QWidget* parent)
    : QWidget(parent), model_(&CalculatorModel::hp16c()), lcd_(new LCDView(false, this)),
      decorations_(new DecorationLayer(this)) {
    // The calculator's legends ("√x", "Σ+") read left to right on any desktop.
    setLayoutDirection(Qt::LeftToRight);
    lcd_->setModel(*model_);
    decorations_->paint = [this](QPainter& painter) { paintBadges(painter); };
    rebuildKeys();
}

CalculatorFace::~CalculatorFace() {
    // A held key is let go while the callbacks still stand; after that the keys,
    // which outlive this part of the object, must not call back into it.
    abandonPresses();
    disconnectKeys();
}

void CalculatorFace::disconnectKeys() {
    for (auto& [code, legend] : legends_) legend->detach();
    for (auto& [code, key] : keys_) key->detach();
}

void CalculatorFace::setModel(const CalculatorModel& model) {
    if (model_ == &model) return;
    model_ = &model;
    lcd_->setModel(model);
    rebuildKeys();
    update();
}

void CalculatorFace::setLCD(const LCDState& lcd) { lcd_->setLCD(lcd); }

void CalculatorFace::setPressed(const std::set<int>& pressed) {
    if (pressed == pressed_) return;
    pressed_ = pressed;
    for (auto& [code, key] : keys_) key->setPressed(pressed_.count(code) > 0);
}

void CalculatorFace::setLatched(const std::set<int>& latched) {
    if (latched == latched_) return;
    latched_ = latched;
    for (auto& [code, key] : keys_)
        key->setLatched(latched_.count(code) > 0 ||
                        (key->key().style == KeyStyle::enter && latched_.count(keycode::enter) > 0));
}

void CalculatorFace::setKeyboardLayout(KeyboardLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    placeChildren();
    update();
}

void CalculatorFace::setTurbo(bool turbo) {
    if (turbo == turbo_) return;
    turbo_ = turbo;
    update();
}

KeyView* CalculatorFace::keyView(int code) const {
    const auto it = keys_.find(code);
    return it == keys_.end() ? nullptr : it->second;
}

LegendArea* CalculatorFace::legendArea(int code) const {
    const auto it = legends_.find(code);
    return it == legends_.end() ? nullptr : it->second;
}

void CalculatorFace::abandonPresses() {
    for (auto& [code, legend] : legends_) legend->gesture().abandon();
    for (auto& [code, key] : keys_) key->gesture().abandon();
}

void CalculatorFace::pressKey(int code, KeyPart part) {
    if (part != KeyPart::face && callbacks_.pressPart) callbacks_.pressPart(code, part);
    else if (callbacks_.press) callbacks_.press(code);
}

void CalculatorFace::releaseKey(int code) {
    if (callbacks_.release) callbacks_.release(code);
}

void CalculatorFace::rebuildKeys() {
    // A key going away mid-press would leave the calculator's key down.
    abandonPresses();
    disconnectKeys();
    // Deleted later: the call may come from inside one of these keys' own callbacks.
    for (auto& [code, legend] : legends_) {
        legend->hide();
        legend->deleteLater();
    }
    for (auto& [code, key] : keys_) {
        key->hide();
        key->deleteLater();
    }
    legends_.clear();
    keys_.clear();
    for (const KeySpec& keySpec : model_->keys) {
        const int code = keySpec.code;
        if (keySpec.hasF()) {
            auto* legend = new LegendArea(keySpec, model_->colors, this);
            legend->setHandlers(&handlers_);
            legend->onPress = [this, code] { pressKey(code, KeyPart::fLabel); };
            legend->onRelease = [this, code] { releaseKey(code); };
            legends_[code] = legend;
        }
    }
    for (const KeySpec& keySpec : model_->keys) {
        const int code = keySpec.code;
        auto* key = new KeyView(keySpec, model_->colors, this);
        key->setHandlers(&handlers_);
        key->setPressed(pressed_.count(code) > 0);
        key->setLatched(latched_.count(code) > 0 ||
                        (keySpec.style == KeyStyle::enter && latched_.count(keycode::enter) > 0));
        key->onPress = [this, code](KeyPart part) { pressKey(code, part); };
        key->onRelease = [this, code] { releaseKey(code); };
        key->onHoverChanged = [this] { decorations_->update(); };
        keys_[code] = key;
    }
    placeChildren();
    for (auto& [code, legend] : legends_) legend->show();
    for (auto& [code, key] : keys_) key->show();
    decorations_->raise();
}

void CalculatorFace::placeChildren() {
    const FaceLayout f = faceLayout();
    lcd_->setFrame(f.lcd);
    for (auto& [code, key] : keys_) {
        key->setGeometry(f.capRect(key->key()).toAlignedRect());
        key->setUnit(f.unit);
    }
    for (auto& [code, legend] : legends_) {
        const KeySpec& keySpec = legend->key();
        const KeyZones zones = KeyZones::layout(keySpec, plain(f.stripRect(code)), plain(f.capRect(keySpec)), f.unit);
        legend->setVisible(zones.f.has_value());
        if (zones.f) legend->setGeometry(toQt(*zones.f).toAlignedRect());
    }
    decorations_->setGeometry(rect());
}

void CalculatorFace::resizeEvent(QResizeEvent* event) {
    placeChildren();
    QWidget::resizeEvent(event);
}

void CalculatorFace::hideEvent(QHideEvent* event) {
    abandonPresses();
    QWidget::hideEvent(event);
}

void CalculatorFace::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    paintFace(painter);
    paintKeyShadows(painter);
}

void CalculatorFace::paintFace(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const FaceLayout f = faceLayout();
    const ModelColors& colors = model_->colors;

    QPainterPath body;
    body.addRoundedRect(QRectF(0, 0, f.width, f.height), 1.2 * f.m, 1.2 * f.m);
    QLinearGradient gradient(0, 0, 0, f.height);
    gradient.setColorAt(0, rgbColor(colors.body, 0.92));
    gradient.setColorAt(1, rgbColor(colors.body));
    painter.fillPath(body, gradient);

    QPainterPath bezel;
    bezel.addRoundedRect(f.bezel, 0.6 * f.m, 0.6 * f.m);
    painter.fillPath(bezel, rgbColor(colors.bezel));
    paintNameBlock(painter, f);

    QPen bandPen(rgbColor(colors.band), f.bandLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    bandPen.setMiterLimit(10);
    painter.setPen(bandPen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(f.band, 0.5 * f.m, 0.5 * f.m);

    paintLegends(painter, f);
}

void CalculatorFace::paintNameBlock(QPainter& painter, const FaceLayout& f) const {
    const QColor band = rgbColor(model_->colors.band);
    const double right = f.nameBlock.right();
    double y = f.nameBlock.top();

    QFont nameFont = faceFont(f.nameFontSize(), QFont::Bold);
    painter.setFont(nameFont);
    painter.setPen(band);
    const QFontMetricsF nameMetrics(nameFont);
    painter.drawText(QRectF(f.nameBlock.left(), y, f.nameBlock.width(), nameMetrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, qText(model_->name));
    y += nameMetrics.height() + 2;

    QFont subtitleFont = faceFont(f.subtitleFontSize(), QFont::DemiBold);
    subtitleFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    painter.setFont(subtitleFont);
    painter.setPen(rgbColor(model_->colors.band, 0.8));
    const QFontMetricsF subtitleMetrics(subtitleFont);
    painter.drawText(QRectF(f.nameBlock.left(), y, f.nameBlock.width(), subtitleMetrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, qText(model_->subtitle).toUpper());
    y += subtitleMetrics.height() + 2;

    if (turbo_) {
        const QFont turboFont = faceFont(f.turboFontSize(), QFont::Black);
        const QFontMetricsF metrics(turboFont);
        const QString text = QStringLiteral("TURBO");
        const double w = metrics.horizontalAdvance(text) + 8;
        const QRectF box(right - w, y, w, metrics.height());
        painter.setFont(turboFont);
        painter.setPen(rgbColor(model_->colors.fLegend));
        painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
        QPainterPath capsule;
        addCapsule(capsule, box.adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setPen(QPen(rgbColor(model_->colors.fLegend), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsule);
    }
}

void CalculatorFace::paintLegends(QPainter& painter, const FaceLayout& f) const {
    const QColor gold = rgbColor(model_->colors.fLegend);
    const double fs = f.legendFontSize();
    painter.setPen(gold);
    for (const KeySpec& key : model_->keys) {
        if (!key.hasF()) continue;
        const bool bracketed = FaceLayout::isBracketed(*model_, key.code);
        const QRectF s = f.stripRect(key.code);
        const QRectF box(s.x() + 0.02 * s.width(), bracketed ? s.y() + 0.45 * s.height() : s.y(), 0.96 * s.width(),
                         bracketed ? 0.55 * s.height() : s.height());
        drawFittedText(painter, box, qText(key.f), faceFont(bracketed ? 0.85 * fs : fs, QFont::DemiBold));
    }

    const QFont labelFont = faceFont(0.8 * fs, QFont::Bold);
    const QFontMetricsF labelMetrics(labelFont);
    for (const FaceLayout::Segment& segment : f.bracketSegments(*model_)) {
        const QRectF r = segment.rect;
        QPainterPath line;
        line.moveTo(r.left(), r.bottom());
        line.lineTo(r.left(), r.top());
        line.lineTo(r.right(), r.top());
        line.lineTo(r.right(), r.bottom());
        QPen pen(gold, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setMiterLimit(10);
        painter.strokePath(line, pen);

        const QString label = qText(segment.label);
        const double textWidth = labelMetrics.horizontalAdvance(label) + 6;
        const QRectF frame(r.left(), r.top() - 0.45 * r.height(), r.width(), 0.9 * r.height());
        const QRectF back(frame.center().x() - textWidth / 2, frame.center().y() - labelMetrics.height() / 2,
                          textWidth, labelMetrics.height());
        painter.fillRect(back, rgbColor(model_->colors.body));
        painter.setFont(labelFont);
        painter.setPen(gold);
        painter.drawText(back, Qt::AlignCenter | Qt::TextSingleLine, label);
    }
}

void CalculatorFace::paintKeyShadows(QPainter& painter) const {
    painter.setPen(Qt::NoPen);
    for (const auto& [code, key] : keys_) {
        const QRectF r = QRectF(key->geometry());
        const bool down = key->isDown();
        const double offset = down ? 0.5 : 1.5;
        const double blur = down ? 0.5 : 1.5;
        const double opacity = down ? 0.2 : 0.5;
        const double radius = 0.08 * r.width();
        // A soft edge from two layers instead of a blur filter.
        QColor outer(0, 0, 0);
        outer.setAlphaF(static_cast<float>(opacity * 0.45));
        QColor inner(0, 0, 0);
        inner.setAlphaF(static_cast<float>(opacity * 0.7));
        const QRectF base = r.translated(0, offset);
        painter.setBrush(outer);
        painter.drawRoundedRect(base.adjusted(-blur, -blur * 0.5, blur, blur), radius + blur, radius + blur);
        painter.setBrush(inner);
        painter.drawRoundedRect(base, radius, radius);
    }
}

void CalculatorFace::paintBadges(QPainter& painter) const {
    for (const auto& [code, key] : keys_)
        if (key->hovering()) key->paintBadge(painter, QPointF(key->pos()));
}

} // namespace tw
