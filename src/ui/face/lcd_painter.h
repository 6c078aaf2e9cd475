// The calculator's display drawn from an LCDState: seven-segment digits with their
// ghosts, points, commas, the minus sign and the annunciator labels.
#pragma once

#include "core/wrapper/lcd_state.h"
#include "runtime/catalog/calculator_model.h"

#include <QColor>
#include <QMarginsF>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <array>

class QPainter;

namespace tw {

// The placement of one drawing pass in a frame of the given size.
struct LCDMetrics {
    double cell = 0;    // one digit cell: a tenth-and-a-bit of the width
    double xoff = 0;
    double top = 0;     // of the digits
    double digitHeight = 0;
    QColor lit;
    QColor ghost;

    static LCDMetrics make(QSizeF frame, const CalculatorModel& model, bool overPhoto);
    // Relative to the frame's top-left corner.
    QRectF digitBox(int position) const;
    QRectF minusBox() const;
    QRectF pointRect(int position) const;
    QPointF annunciatorOrigin(const Annunciator& annunciator, double frameHeight) const;
};

// The six corners of segment k (0..6 = a..g; 6 for anything larger), slanted.
std::array<QPointF, 6> segmentVertices(int k, const QRectF& box);
QPainterPath segmentPath(int k, const QRectF& box);

double annunciatorFontSize(double frameHeight);

// Paints the display into `frame`. On the drawn glass everything stays inside it; over
// the photograph the last point and comma may reach past its right edge.
void paintLCD(QPainter& painter, const QRectF& frame, const LCDState& lcd, const CalculatorModel& model,
              bool overPhoto);

// How far a pass may reach outside its frame, so that a widget showing it can be made larger.
QMarginsF lcdOverhang(QSizeF frame);

} // namespace tw
