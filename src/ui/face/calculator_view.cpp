#include "ui/face/calculator_view.h"

#include "runtime/face/photo_face.h"
#include "ui/face/calculator_face.h"
#include "ui/face/photo_calculator_face.h"

namespace tw {

CalculatorView::CalculatorView(QWidget* parent)
    : QWidget(parent), model_(&CalculatorModel::hp16c()), drawn_(new CalculatorFace(this)) {
    choose();
}

void CalculatorView::setForcedLayout(std::optional<KeyboardLayout> layout) {
    forcedLayout_ = layout;
    choose();
}

void CalculatorView::setModel(const CalculatorModel& model) {
    if (model_ == &model) return;
    model_ = &model;
    choose();
}

void CalculatorView::setPhotoStyle(bool photo) {
    if (photo == photoStyle_) return;
    photoStyle_ = photo;
    choose();
}

void CalculatorView::setLCD(const LCDState& lcd) {
    lcd_ = lcd;
    drawn_->setLCD(lcd);
    if (photo_) photo_->setLCD(lcd);
}

void CalculatorView::setPressed(const std::set<int>& pressed) {
    pressed_ = pressed;
    drawn_->setPressed(pressed);
    if (photo_) photo_->setPressed(pressed);
}

void CalculatorView::setLatched(const std::set<int>& latched) {
    latched_ = latched;
    drawn_->setLatched(latched);
    if (photo_) photo_->setLatched(latched);
}

void CalculatorView::setTurbo(bool turbo) {
    turbo_ = turbo;
    drawn_->setTurbo(turbo);
    if (photo_) photo_->setTurbo(turbo);
}

void CalculatorView::setVariant(int variant) {
    variant_ = variant;
    drawn_->setVariant(variant);
}

void CalculatorView::setCallbacks(FaceCallbacks callbacks) {
    callbacks_ = std::move(callbacks);
    drawn_->setCallbacks(callbacks_);
    if (photo_) photo_->setCallbacks(callbacks_);
}

void CalculatorView::setLatchHandlers(KeyLatchHandlers handlers) {
    handlers_ = std::move(handlers);
    drawn_->setLatchHandlers(handlers_);
    if (photo_) photo_->setLatchHandlers(handlers_);
}

KeyboardLayout CalculatorView::currentLayout() const {
    if (forcedLayout_) return *forcedLayout_;
    return chooseKeyboardLayout(width(), height());
}

bool CalculatorView::wantsPhoto() const {
    return photoStyle_ && currentLayout() == KeyboardLayout::landscape && PhotoFace::face(model_->id) != nullptr;
}

QWidget* CalculatorView::currentFace() const {
    if (photo_ && photo_->isVisibleTo(this)) return photo_;
    return drawn_;
}

void CalculatorView::abandonPresses() {
    drawn_->abandonPresses();
    if (photo_) photo_->abandonPresses();
}

void CalculatorView::choose() {
    const bool photo = wantsPhoto();
    if (photo) {
        if (!photo_) {
            photo_ = new PhotoCalculatorFace(this);
            photo_->setLCD(lcd_);
            photo_->setPressed(pressed_);
            photo_->setLatched(latched_);
            photo_->setTurbo(turbo_);
            photo_->setCallbacks(callbacks_);
            photo_->setLatchHandlers(handlers_);
        }
        photo_->setModel(*model_, *PhotoFace::face(model_->id));
        photo_->setGeometry(rect());
        drawn_->hide();
        photo_->show();
    } else {
        drawn_->setModel(*model_);
        drawn_->setKeyboardLayout(currentLayout());
        drawn_->setGeometry(rect());
        if (photo_) photo_->hide();
        drawn_->show();
    }
}

void CalculatorView::resizeEvent(QResizeEvent* event) {
    choose();
    QWidget::resizeEvent(event);
}

void CalculatorView::hideEvent(QHideEvent* event) {
    abandonPresses();
    QWidget::hideEvent(event);
}

} // namespace tw
