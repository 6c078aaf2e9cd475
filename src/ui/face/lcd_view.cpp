#include "ui/face/lcd_view.h"

#include "ui/face/face_paint.h"
#include "ui/face/lcd_painter.h"

#include <QPainter>

namespace tw {

LCDView::LCDView(bool overPhoto, QWidget* parent)
    : QWidget(parent), overPhoto_(overPhoto), model_(&CalculatorModel::hp16c()) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The annunciators, like the digits, keep the calculator's order on any desktop.
    setLayoutDirection(Qt::LeftToRight);
    setAccessibleName(tr("Display"));
    updateAccessibleValue();
}

void LCDView::setLCD(const LCDState& lcd) {
    if (lcd == lcd_) return;
    lcd_ = lcd;
    updateAccessibleValue();
    update();
}

void LCDView::setModel(const CalculatorModel& model) {
    if (model_ == &model) return;
    model_ = &model;
    update();
}

void LCDView::setFrame(const QRectF& frame) {
    if (frame == frame_) return;
    frame_ = frame;
    const QRectF outer = frame.marginsAdded(lcdOverhang(frame.size()));
    setGeometry(outer.toAlignedRect());
    update();
}

QRectF LCDView::frameInWidget() const { return frame_.translated(-QPointF(pos())); }

void LCDView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setLayoutDirection(Qt::LeftToRight); // the calculator's order on any desktop
    paintLCD(painter, frameInWidget(), lcd_, *model_, overPhoto_);
}

void LCDView::updateAccessibleValue() {
    // Announced without the blanks that pad the display's text.
    setAccessibleDescription(qText(lcd_.text).trimmed());
}

} // namespace tw
