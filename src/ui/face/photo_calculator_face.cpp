#include "ui/face/photo_calculator_face.h"

#include "ui/face/calculator_face.h"
#include "ui/face/face_images.h"
#include "ui/face/face_paint.h"
#include "ui/face/lcd_view.h"
#include "ui/face/photo_key_area.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tw {

namespace {

const QColor kTurboGold(227, 166, 58);

QRectF scaled(const Rect& r, const QRectF& photo) {
    return QRectF(photo.x() + r.x * photo.width(), photo.y() + r.y * photo.height(), r.width * photo.width(),
                  r.height * photo.height());
}

} // namespace

PhotoCalculatorFace::PhotoCalculatorFace(QWidget* parent)
    : QWidget(parent), model_(&CalculatorModel::hp16c()), face_(&PhotoFace::hp16c()) {
    // The calculator's legends and display read left to right on any desktop.
    setLayoutDirection(Qt::LeftToRight);
    rebuild();
}

PhotoCalculatorFace::~PhotoCalculatorFace() {
    // As on the drawn face: let go while the callbacks stand, then cut them.
    abandonPresses();
    disconnectAreas();
}

void PhotoCalculatorFace::disconnectAreas() {
    for (auto& [code, area] : areas_) area->detach();
}

void PhotoCalculatorFace::setModel(const CalculatorModel& model, const PhotoFace& face) {
    if (model_ == &model && face_ == &face) return;
    model_ = &model;
    face_ = &face;
    rebuild();
}

void PhotoCalculatorFace::setLCD(const LCDState& lcd) {
    lcdState_ = lcd;
    if (lcd_) lcd_->setLCD(lcd);
    if (fallback_) fallback_->setLCD(lcd);
}

void PhotoCalculatorFace::setPressed(const std::set<int>& pressed) {
    if (pressed == pressed_) return;
    pressed_ = pressed;
    if (fallback_) fallback_->setPressed(pressed);
    update();
}

void PhotoCalculatorFace::setLatched(const std::set<int>& latched) {
    latched_ = latched;
    if (fallback_) fallback_->setLatched(latched);
    for (auto& [code, area] : areas_)
        area->setLatched(latched_.count(code) > 0 ||
                         (area->key().style == KeyStyle::enter && latched_.count(keycode::enter) > 0));
}

void PhotoCalculatorFace::setTurbo(bool turbo) {
    if (turbo == turbo_) return;
    turbo_ = turbo;
    if (fallback_) fallback_->setTurbo(turbo);
    update();
}

void PhotoCalculatorFace::setCallbacks(FaceCallbacks callbacks) {
    callbacks_ = std::move(callbacks);
    if (fallback_) fallback_->setCallbacks(callbacks_);
}

void PhotoCalculatorFace::setLatchHandlers(KeyLatchHandlers handlers) {
    handlers_ = std::move(handlers);
    if (fallback_) fallback_->setLatchHandlers(handlers_);
}

PhotoKeyArea* PhotoCalculatorFace::keyArea(int code) const {
    const auto it = areas_.find(code);
    return it == areas_.end() ? nullptr : it->second;
}

QRectF PhotoCalculatorFace::photoRect() const {
    const double a = face_->aspectRatio();
    const double h = std::min<double>(height(), width() / a);
    const double w = a * h;
    return QRectF((width() - w) / 2, (height() - h) / 2, w, h);
}

QRectF PhotoCalculatorFace::capRect(int code) const {
    const auto cap = face_->keyRect(code);
    return cap ? scaled(*cap, photoRect()) : QRectF();
}

QRectF PhotoCalculatorFace::turboBadgeRect() const {
    const QRectF photo = photoRect();
    const QRectF lcd = scaled(face_->lcd, photo);
    const QFontMetricsF metrics(faceFont(std::max(0.022 * photo.height(), 7.0), QFont::Black));
    const double w = metrics.horizontalAdvance(QStringLiteral("TURBO")) + 8;
    return QRectF(lcd.left(), lcd.bottom() + 0.012 * photo.height(), w, metrics.height());
}

void PhotoCalculatorFace::abandonPresses() {
    for (auto& [code, area] : areas_) area->gesture().abandon();
    if (fallback_) fallback_->abandonPresses();
}

void PhotoCalculatorFace::pressKey(int code, KeyPart part) {
    if (part != KeyPart::face && callbacks_.pressPart) callbacks_.pressPart(code, part);
    else if (callbacks_.press) callbacks_.press(code);
}

void PhotoCalculatorFace::releaseKey(int code) {
    if (callbacks_.release) callbacks_.release(code);
}

void PhotoCalculatorFace::lookUpPhoto() { photo_ = FaceImages::image(face_->emptyLCDImageName); }

void PhotoCalculatorFace::rebuild() {
    abandonPresses();
    disconnectAreas();
    lookUpPhoto();
    scaled_ = QPixmap();
    // Deleted later: the call may come from inside one of these widgets' callbacks.
    for (auto& [code, area] : areas_) {
        area->hide();
        area->deleteLater();
    }
    areas_.clear();
    if (lcd_) {
        lcd_->hide();
        lcd_->deleteLater();
        lcd_ = nullptr;
    }
    if (fallback_) {
        fallback_->hide();
        fallback_->deleteLater();
        fallback_ = nullptr;
    }

    if (!photo_) {
        fallback_ = new CalculatorFace(this);
        fallback_->setModel(*model_);
        fallback_->setKeyboardLayout(KeyboardLayout::landscape);
        fallback_->setVariant(0);
        fallback_->setLCD(lcdState_);
        fallback_->setPressed(pressed_);
        fallback_->setLatched(latched_);
        fallback_->setTurbo(turbo_);
        fallback_->setCallbacks(callbacks_);
        fallback_->setLatchHandlers(handlers_);
        fallback_->setGeometry(rect());
        fallback_->show();
        update();
        return;
    }

    lcd_ = new LCDView(true, this);
    lcd_->setModel(*model_);
    lcd_->setLCD(lcdState_);
    lcd_->show();
    for (const KeySpec& keySpec : model_->keys) {
        if (!face_->gridRect(keySpec.code)) continue; // no touch area on the photograph
        const int code = keySpec.code;
        auto* area = new PhotoKeyArea(keySpec, this);
        area->setHandlers(&handlers_);
        area->onPress = [this, code](KeyPart part) { pressKey(code, part); };
        area->onRelease = [this, code] { releaseKey(code); };
        area->setLatched(latched_.count(code) > 0 ||
                         (keySpec.style == KeyStyle::enter && latched_.count(keycode::enter) > 0));
        areas_[code] = area;
        area->show();
    }
    placeChildren();
    update();
}

void PhotoCalculatorFace::placeChildren() {
    if (fallback_) {
        fallback_->setGeometry(rect());
        return;
    }
    const QRectF photo = photoRect();
    if (lcd_) lcd_->setFrame(scaled(face_->lcd, photo));
    for (auto& [code, area] : areas_) {
        const KeySpec& keySpec = area->key();
        const QRectF cell = scaled(*face_->gridRect(code), photo);
        area->setGeometry(cell.toAlignedRect());
        // The tall ENTER key takes the unit of its ordinary neighbour.
        std::optional<Rect> unitRect = face_->keyRect(keySpec.style == KeyStyle::enter ? 24 : code);
        if (!unitRect) unitRect = face_->keyRect(code);
        const double unit = unitRect ? unitRect->height * photo.height() : cell.height();
        std::optional<KeyZones> zones = face_->keyZones(keySpec);
        if (zones) {
            const QPointF origin = QPointF(area->pos());
            const auto local = [&](const Rect& r) {
                const QRectF q = scaled(r, photo).translated(-origin);
                return Rect{q.x(), q.y(), q.width(), q.height()};
            };
            zones->face = local(zones->face);
            if (zones->f) zones->f = local(*zones->f);
            if (zones->g) zones->g = local(*zones->g);
        }
        area->setZones(unit, zones);
    }
}

void PhotoCalculatorFace::resizeEvent(QResizeEvent* event) {
    scaled_ = QPixmap();
    placeChildren();
    QWidget::resizeEvent(event);
}

void PhotoCalculatorFace::showEvent(QShowEvent* event) {
    // Shown again: a photograph that was missing may be there now.
    FaceImages::forgetMisses();
    if (!photo_ && FaceImages::image(face_->emptyLCDImageName)) rebuild();
    QWidget::showEvent(event);
}

void PhotoCalculatorFace::hideEvent(QHideEvent* event) {
    abandonPresses();
    QWidget::hideEvent(event);
}

bool PhotoCalculatorFace::isPressed(const KeySpec& key) const {
    return pressed_.count(key.code) > 0 || (key.style == KeyStyle::enter && pressed_.count(keycode::enterLower) > 0);
}

void PhotoCalculatorFace::paintEvent(QPaintEvent*) {
    if (!photo_) return;
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    paintPhoto(painter);
}

void PhotoCalculatorFace::paintPhoto(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF photo = photoRect();
    const double dpr = painter.device()->devicePixelRatioF();
    const QSize pixels = (photo.size() * dpr).toSize();
    if (scaled_.isNull() || scaled_.size() != pixels) {
        scaled_ = QPixmap::fromImage(photo_->scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(dpr);
    }
    painter.drawPixmap(photo.topLeft(), scaled_);

    for (const KeySpec& key : model_->keys) {
        if (!isPressed(key)) continue;
        const QRectF cap = capRect(key.code);
        if (cap.isEmpty()) continue;
        const double s = std::max(0.045 * cap.height(), 1.0);
        const double r = 0.08 * std::min(cap.width(), cap.height());
        QPainterPath gap;
        gap.addRoundedRect(cap, r, r);
        QColor shadow(0, 0, 0);
        shadow.setAlphaF(0.55f);
        painter.fillPath(gap, shadow);
        QPainterPath pushed;
        pushed.addRoundedRect(QRectF(cap.x(), cap.y() + s, cap.width(), cap.height() - s), r, r);
        painter.save();
        painter.setClipPath(pushed);
        painter.drawPixmap(photo.topLeft() + QPointF(0, s), scaled_);
        QColor shade(0, 0, 0);
        shade.setAlphaF(0.12f);
        painter.fillPath(pushed, shade);
        painter.restore();
    }

    if (turbo_) {
        const QRectF box = turboBadgeRect();
        painter.setFont(faceFont(std::max(0.022 * photo.height(), 7.0), QFont::Black));
        painter.setPen(kTurboGold);
        painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("TURBO"));
        QPainterPath capsule;
        addCapsule(capsule, box.adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setPen(QPen(kTurboGold, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsule);
    }
}

} // namespace tw
