// The display as a widget. The widget is larger than the display's frame, because
// the last point and comma (and the slanted last digit) lie past the frame's edge
// and a widget cannot paint outside itself.
#pragma once

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"

#include <QWidget>

namespace tw {

class LCDView : public QWidget {
    Q_OBJECT
public:
    explicit LCDView(bool overPhoto, QWidget* parent = nullptr);

    // Repaints only when something changed.
    void setLCD(const LCDState& lcd);
    void setModel(const CalculatorModel& model);
    // The display's frame in the parent's coordinates; the widget grows around it.
    void setFrame(const QRectF& frame);

    const LCDState& lcd() const { return lcd_; }
    QRectF frame() const { return frame_; }
    bool overPhoto() const { return overPhoto_; }
    // Where the frame lies inside the widget.
    QRectF frameInWidget() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateAccessibleValue();

    bool overPhoto_;
    LCDState lcd_;
    const CalculatorModel* model_;
    QRectF frame_;
};

} // namespace tw
